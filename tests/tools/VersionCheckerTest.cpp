#include "tools/VersionChecker.h"

#include "tools/WebLinks.h"
#include "ui_support/ScriptedPrompts.h"

#include <QApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

namespace {

enum class Server { Answers, Silent };

// A tiny HTTP server on 127.0.0.1: answers or stays silent.
struct TestHttpServer {
    TestHttpServer(Server mode, QByteArray reply) {
        server.listen(QHostAddress::LocalHost);
        address = QStringLiteral("http://127.0.0.1:%1/checkversion.php").arg(server.serverPort());
        QObject::connect(&server, &QTcpServer::newConnection, [this, mode, reply] {
            QTcpSocket* socket = server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, [this, mode, reply, socket] {
                request += socket->readAll();
                if (mode == Server::Answers && request.contains("\r\n\r\n")) {
                    socket->write(reply);
                    socket->disconnectFromHost();
                }
            });
        });
    }
    QTcpServer server;
    QString address;
    QByteArray request;
};

QByteArray ok(const QByteArray& body) {
    return "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

} // namespace

TEST(VersionCheckerTest, AnswersEachReplyAsItShould) {
    const QString upToDate = "Aucune mise à jour n'est disponible actuellement ...";
    const QString failed = "Impossible de vérifier la présence d'une nouvelle version !";
    const QString v15 = QStringLiteral("Vous utilisez actuellement la version 1.4 de Lumicut.\n"
                                       "La version 1.5 est désormais disponible sur %1.\nVoulez "
                                       "vous avoir plus d'informations sur cette version ?")
                            .arg(siteName());
    // server, reply, silent, answer to the question, message told, addresses opened
    using Row = std::tuple<const char*, Server, QByteArray, bool, QMessageBox::StandardButton,
                           QString, std::vector<std::string>>;
    const auto yes = QMessageBox::Yes;
    // clang-format off
    const Row rows[] = {
        {"same version, asked", Server::Answers, ok("1|4|http://x/"), false, yes, upToDate, {}},
        {"newer minor, yes", Server::Answers, ok("1|5|https://x/page"), false, yes, v15, {"https://x/page"}},
        {"newer minor, silent, no", Server::Answers, ok("1|5|http://x/page"), true, QMessageBox::No, v15, {}},
        {"not a web page: the site", Server::Answers, ok("1|5|file:///etc/passwd"), false, yes, v15, {siteUrl(SitePage::Home).toStdString()}},
        {"empty reply, even silent", Server::Answers, ok(""), true, yes, failed, {}},
        {"page not found", Server::Answers, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n", true, yes, failed, {}},
        {"never answers", Server::Silent, {}, true, yes, failed, {}},
    };
    // clang-format on
    for (const auto& [name, mode, reply, silent, answer, message, opened] : rows) {
        SCOPED_TRACE(name);
        TestHttpServer server(mode, reply);
        ScriptedPrompts prompts;
        prompts.answerButton(answer);
        VersionChecker::Hooks hooks;
        hooks.programVersion = [](uint32_t& ms, uint32_t& ls) {
            ms = 0x00010004u;
            ls = 0x00030000u;
            return true;
        };
        hooks.timeout = std::chrono::milliseconds(400);
        VersionChecker(prompts, hooks).checkVersion(server.address, silent);
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text, message);
        EXPECT_EQ(prompts.messages[0].caption, "Lumicut");
        EXPECT_EQ(prompts.openedUrls, opened);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        if (mode == Server::Answers) {
            EXPECT_TRUE(server.request.startsWith("GET /checkversion.php HTTP/1.1\r\n"));
            for (const char* header : {"User-Agent: Update search\r\n",
                                       "Cache-Control: no-cache\r\n", "Pragma: no-cache\r\n"})
                EXPECT_TRUE(server.request.contains(header)) << header;
        }
    }
}
