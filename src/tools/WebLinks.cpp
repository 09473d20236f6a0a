#include "tools/WebLinks.h"

#include <QUrl>

namespace {

QString siteBase() {
    QString base = QStringLiteral(LUMICUT_SITE);
    while (base.endsWith(QLatin1Char('/'))) {
        base.chop(1);
    }
    return base;
}

} // namespace

QString siteUrl(SitePage page) {
    switch (page) {
    case SitePage::Home:
        return siteBase() + QStringLiteral("/");
    case SitePage::VersionService:
        return siteBase() + QStringLiteral("/checkversion.php");
    case SitePage::Help:
        return siteBase() + QStringLiteral("/docsoft.html");
    case SitePage::Forum:
        return siteBase() + QStringLiteral("/forumsoft.html");
    }
    return siteBase() + QStringLiteral("/");
}

QString siteName() {
    const QString host = QUrl(siteBase()).host();
    return host.isEmpty() ? siteBase() : host;
}
