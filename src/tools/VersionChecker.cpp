#include "tools/VersionChecker.h"

#include "tools/ToolsApp.h"
#include "tools/UserMessage.h"
#include "tools/WebLinks.h"
#include "update/VersionReply.h"

#include <QApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace {

// Wait cursor for the length of a scope.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

bool isWebAddress(const QString& address) {
    const QUrl url(address, QUrl::StrictMode);
    return url.isValid() &&
           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

} // namespace

QString newVersionQuestion(uint32_t currentMs, uint32_t newMs) {
    return QStringLiteral("Vous utilisez actuellement la version %1.%2 de Lumicut.\n"
                          "La version %3.%4 est désormais disponible sur %5.\n"
                          "Voulez vous avoir plus d'informations sur cette version ?")
        .arg(versionMajor(currentMs))
        .arg(versionMinor(currentMs))
        .arg(versionMajor(newMs))
        .arg(versionMinor(newMs))
        .arg(siteName());
}

VersionChecker::VersionChecker(UserPrompts& prompts) : VersionChecker(prompts, Hooks{}) {}

VersionChecker::VersionChecker(UserPrompts& prompts, Hooks hooks)
    : m_prompts(prompts), m_hooks(std::move(hooks)) {
    if (!m_hooks.programVersion) {
        m_hooks.programVersion = [](uint32_t& mostSignificant, uint32_t& leastSignificant) {
            return ToolsApp::programVersion(mostSignificant, leastSignificant);
        };
    }
}

VersionChecker::~VersionChecker() = default;

void VersionChecker::checkVersion(const QString& address, bool silent) {
    uint32_t currentMs = 0;
    uint32_t currentLs = 0;
    if (!m_hooks.programVersion(currentMs, currentLs)) {
        return;
    }
    FetchResult fetched;
    {
        WaitCursor wait;
        fetched = fetch(address);
    }
    switch (fetched.status) {
    case FetchStatus::OpenFailed:
        onCheckError(currentMs, currentLs);
        return;
    case FetchStatus::ReadFailed:
        return;
    case FetchStatus::Ok:
        break;
    }
    if (fetched.bytes.empty()) {
        onCheckError(currentMs, currentLs);
        return;
    }
    const VersionReply reply = parseVersionReply(fetched.bytes);
    if (reply.version > currentMs) {
        onNewVersion(currentMs, currentLs, reply.version, 0, reply.infoAddress);
    } else if (!silent) {
        onUpToDate(currentMs, currentLs);
    }
}

void VersionChecker::onNewVersion(uint32_t currentMs, uint32_t /*currentLs*/, uint32_t newMs,
                                  uint32_t /*newLs*/, const std::string& infoAddress) {
    const bool wanted = m_prompts.askYesNo(newVersionQuestion(currentMs, newMs), appTitle());
    if (!wanted) {
        return;
    }
    // The address comes from the network: only a web page is opened, anything else falls
    // back to the site's home page.
    const QString address = QString::fromStdString(infoAddress);
    m_prompts.openAddress(isWebAddress(address) ? address : siteUrl(SitePage::Home));
}

void VersionChecker::onUpToDate(uint32_t /*currentMs*/, uint32_t /*currentLs*/) {
    m_prompts.tell(QStringLiteral("Aucune mise à jour n'est disponible actuellement ..."),
                   appTitle(), QMessageBox::Information);
}

void VersionChecker::onCheckError(uint32_t /*currentMs*/, uint32_t /*currentLs*/) {
    m_prompts.tell(QStringLiteral("Impossible de vérifier la présence d'une nouvelle version !"),
                   appTitle(), QMessageBox::Information);
}

FetchResult VersionChecker::fetch(const QString& address) {
    QNetworkAccessManager manager;
    QNetworkRequest request{QUrl(address)};
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Update search"));
    request.setRawHeader("Cache-Control", "no-cache");
    request.setRawHeader("Pragma", "no-cache");
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);

    QNetworkReply* reply = manager.get(request);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // One read of at most 512 bytes: stop as soon as that much has arrived.
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [reply, &loop] {
        if (reply->bytesAvailable() >= static_cast<qint64>(kVersionReplyMaxBytes)) {
            loop.quit();
        }
    });
    if (!reply->isFinished()) {
        timer.start(m_hooks.timeout);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const bool answered = status.isValid();
    const QByteArray body = reply->read(static_cast<qint64>(kVersionReplyMaxBytes));
    const bool finished = reply->isFinished();
    const QNetworkReply::NetworkError error = reply->error();
    if (!finished) {
        reply->abort();
    }

    FetchResult result;
    result.bytes = body.toStdString();
    if (!answered || status.toInt() >= 400) {
        result.status = FetchStatus::OpenFailed;
    } else if (finished && error != QNetworkReply::NoError && body.isEmpty()) {
        result.status = FetchStatus::ReadFailed;
    } else if (!finished && body.isEmpty()) {
        result.status = FetchStatus::ReadFailed;
    } else {
        result.status = FetchStatus::Ok;
    }
    if (result.status == FetchStatus::OpenFailed) {
        result.bytes.clear();
    }
    return result;
}
