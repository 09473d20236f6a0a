#include "tools/VersionChecker.h"

#include "tools/ToolsApp.h"
#include "tools/WebLinks.h"
#include "ui_support/ScriptedPrompts.h"

#include <QApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

namespace {

const QString kUpToDate = QStringLiteral("Aucune mise à jour n'est disponible actuellement ...");
const QString kError =
    QStringLiteral("Impossible de vérifier la présence d'une nouvelle version !");

// A tiny HTTP server on 127.0.0.1, answering each request in one of a few ways.
class TestHttpServer {
public:
    enum class Mode { Answer, NeverAnswer, CloseAtOnce };

    TestHttpServer(Mode mode, QByteArray status, QByteArray body)
        : m_mode(mode), m_status(std::move(status)), m_body(std::move(body)) {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] { accept(); });
    }

    [[nodiscard]] QString address(const char* path = "/checkversion.php") const {
        return QStringLiteral("http://127.0.0.1:%1%2")
            .arg(m_server.serverPort())
            .arg(QLatin1String(path));
    }
    [[nodiscard]] int connections() const { return m_connections; }
    [[nodiscard]] const QByteArray& request() const { return m_request; }

private:
    void accept() {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            ++m_connections;
            if (m_mode == Mode::CloseAtOnce) {
                socket->close();
                continue;
            }
            QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] {
                m_request += socket->readAll();
                if (m_mode == Mode::Answer && m_request.contains("\r\n\r\n")) {
                    socket->write("HTTP/1.1 " + m_status +
                                  "\r\nContent-Length: " + QByteArray::number(m_body.size()) +
                                  "\r\nConnection: close\r\n\r\n" + m_body);
                    socket->disconnectFromHost();
                }
            });
        }
    }

    QTcpServer m_server;
    Mode m_mode;
    QByteArray m_status;
    QByteArray m_body;
    QByteArray m_request;
    int m_connections = 0;
};

struct Check {
    ScriptedPrompts prompts;
    bool versionReadable = true;

    [[nodiscard]] QStringList opened() const {
        QStringList opened;
        for (const std::string& url : prompts.openedUrls) {
            opened << QString::fromStdString(url);
        }
        return opened;
    }

    VersionChecker make(std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) {
        VersionChecker::Hooks hooks;
        hooks.programVersion = [this](uint32_t& ms, uint32_t& ls) {
            if (!versionReadable) {
                return false;
            }
            ms = 0x00010004u;
            ls = 0x00030000u;
            return true;
        };
        hooks.timeout = timeout;
        return VersionChecker(prompts, hooks);
    }
};

} // namespace

TEST(VersionChecker, AnswersEachReplyAsItShould) {
    struct Row {
        const char* description;
        QByteArray body;
        bool silent;
        bool answerYes;
        QString message; // empty: no message
        QStringList opened;
    };
    const QString question =
        QStringLiteral("Vous utilisez actuellement la version 1.4 de Lumicut.\nLa version 1.5 est "
                       "désormais disponible sur %1.\nVoulez vous avoir plus d'informations sur "
                       "cette version ?")
            .arg(siteName());
    const Row rows[] = {
        {"same version, silent", "1|4|http://x/", true, true, {}, {}},
        {"same version, asked", "1|4|http://x/", false, true, kUpToDate, {}},
        {"newer minor, yes", "1|5|http://x/page", false, true, question, {"http://x/page"}},
        {"newer minor, silent, no", "1|5|http://x/page", true, false, question, {}},
        {"major alone is newer",
         "2",
         false,
         true,
         QString(question).replace(QStringLiteral("1.5 est"), QStringLiteral("2.0 est")),
         {siteUrl(SitePage::Home)}},
        {"garbage without bar, asked", "<html>oops</html>", false, true, kUpToDate, {}},
        {"garbage without bar, silent", "<html>oops</html>", true, true, {}, {}},
        {"empty reply, silent", "", true, true, kError, {}},
        {"address not a web page",
         "1|5|file:///etc/passwd",
         false,
         true,
         question,
         {siteUrl(SitePage::Home)}},
    };
    for (const Row& row : rows) {
        TestHttpServer server(TestHttpServer::Mode::Answer, "200 OK", row.body);
        Check check;
        check.prompts.answerButton(row.answerYes ? QMessageBox::Yes : QMessageBox::No);
        check.make().checkVersion(server.address(), row.silent);
        if (row.message.isEmpty()) {
            EXPECT_TRUE(check.prompts.messages.empty()) << row.description;
        } else {
            ASSERT_EQ(check.prompts.messages.size(), 1u) << row.description;
            EXPECT_EQ(check.prompts.messages[0].text, row.message) << row.description;
            EXPECT_EQ(check.prompts.messages[0].caption, QStringLiteral("Lumicut"))
                << row.description;
        }
        EXPECT_EQ(check.opened(), row.opened) << row.description;
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << row.description;
    }
}

TEST(VersionChecker, SendsAnUncachedRequestAsUpdateSearch) {
    TestHttpServer server(TestHttpServer::Mode::Answer, "200 OK", "1|4|x");
    Check check;
    check.make().checkVersion(server.address(), true);
    const QByteArray request = server.request();
    EXPECT_TRUE(request.startsWith("GET /checkversion.php HTTP/1.1\r\n")) << request.toStdString();
    EXPECT_TRUE(request.contains("User-Agent: Update search\r\n")) << request.toStdString();
    EXPECT_TRUE(request.contains("Cache-Control: no-cache\r\n")) << request.toStdString();
    EXPECT_TRUE(request.contains("Pragma: no-cache\r\n")) << request.toStdString();
}

TEST(VersionChecker, FailedRequestsSayTheCheckFailedEvenSilently) {
    struct Row {
        const char* description;
        TestHttpServer::Mode mode;
        QByteArray status;
    };
    const Row rows[] = {
        {"server never answers", TestHttpServer::Mode::NeverAnswer, "200 OK"},
        {"connection closed at once", TestHttpServer::Mode::CloseAtOnce, "200 OK"},
        {"page not found", TestHttpServer::Mode::Answer, "404 Not Found"},
        {"server error", TestHttpServer::Mode::Answer, "500 Internal Server Error"},
    };
    for (const Row& row : rows) {
        TestHttpServer server(row.mode, row.status, "1|9|http://x/");
        Check check;
        check.make(std::chrono::milliseconds(300)).checkVersion(server.address(), true);
        ASSERT_EQ(check.prompts.messages.size(), 1u) << row.description;
        EXPECT_EQ(check.prompts.messages[0].text, kError) << row.description;
        EXPECT_EQ(check.prompts.messages[0].icon, QMessageBox::Information) << row.description;
        EXPECT_TRUE(check.opened().isEmpty()) << row.description;
    }
}

TEST(VersionChecker, ConnectionRefusedSaysTheCheckFailed) {
    quint16 port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        port = probe.serverPort();
    }
    Check check;
    check.make().checkVersion(QStringLiteral("http://127.0.0.1:%1/checkversion.php").arg(port),
                              true);
    ASSERT_EQ(check.prompts.messages.size(), 1u);
    EXPECT_EQ(check.prompts.messages[0].text, kError);
}

TEST(VersionChecker, UnreadableOwnVersionMeansNoRequestAndNoMessage) {
    TestHttpServer server(TestHttpServer::Mode::Answer, "200 OK", "9|9|x");
    Check check;
    check.versionReadable = false;
    check.make().checkVersion(server.address(), false);
    EXPECT_EQ(server.connections(), 0);
    EXPECT_TRUE(check.prompts.messages.empty());
}

// Without a version hook the checker knows its version from the build; a download page that
// no browser opens is shown to copy.
TEST(VersionChecker, VersionFromTheBuildAndAnAddressNoBrowserOpens) {
    ScriptedPrompts prompts;
    prompts.urlsOpen = false;
    prompts.answerButton(QMessageBox::Yes);
    TestHttpServer server(TestHttpServer::Mode::Answer, "200 OK", "1|5|http://x/info");
    VersionChecker(prompts).checkVersion(server.address(), true);
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Question);
    EXPECT_EQ(prompts.messages[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(prompts.messages[0].defaultButton, QMessageBox::Yes);
    EXPECT_TRUE(prompts.messages[0].text.startsWith(
        QStringLiteral("Vous utilisez actuellement la version 1.4 de Lumicut.")));
    EXPECT_EQ(prompts.openedUrls, (std::vector<std::string>{"http://x/info"}));
    EXPECT_EQ(prompts.messages[1].text, ToolsApp::urlNotOpenedText("http://x/info"));
    EXPECT_TRUE(prompts.messages[1].selectableText);
}
