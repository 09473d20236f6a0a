#include "tools/WebLinks.h"

#include <QUrl>

namespace {

QString SiteBase() {
    QString base = QStringLiteral(LUMICUT_SITE);
    while (base.endsWith(QLatin1Char('/'))) {
        base.chop(1);
    }
    return base;
}

} // namespace

QString SiteUrl(SitePage page) {
    switch (page) {
    case SitePage::Home:
        return SiteBase() + QStringLiteral("/");
    case SitePage::VersionService:
        return SiteBase() + QStringLiteral("/checkversion.php");
    case SitePage::Help:
        return SiteBase() + QStringLiteral("/docsoft.html");
    case SitePage::Forum:
        return SiteBase() + QStringLiteral("/forumsoft.html");
    }
    return SiteBase() + QStringLiteral("/");
}

QString SiteName() {
    const QString host = QUrl(SiteBase()).host();
    return host.isEmpty() ? SiteBase() : host;
}
