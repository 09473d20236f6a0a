#include "tools/ToolsApp.h"
#include "ui_support/ScriptedPrompts.h"
#include "widgets/UserPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

TEST(DialogPromptsTest, ChosenFolderEndsWithSlashOrIsEmpty) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string start = dir.path().toStdString() + "/";
    struct Row {
        const char* name;
        std::string picked;
        std::string expected;
    };
    const std::vector<Row> rows{
        {"folder without slash", "/home/anne/Photos", "/home/anne/Photos/"},
        {"root", "/", "/"},
        {"UTF-8 name", "/home/anne/Été 2006", "/home/anne/Été 2006/"},
        {"cancelled", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedPrompts prompts;
        prompts.answerFolder(row.picked);
        EXPECT_EQ(prompts.chooseFolder(QStringLiteral("Sélectionner le répertoire courant"), start),
                  row.expected);
        ASSERT_EQ(prompts.folderRequests.size(), 1u);
        EXPECT_EQ(prompts.folderRequests[0].first, "Sélectionner le répertoire courant");
        EXPECT_EQ(prompts.folderRequests[0].second, start);
    }
}

// Sets an environment variable for the length of a scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_before(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedEnv() {
        if (m_had)
            qputenv(m_name, m_before);
        else
            qunsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    bool m_had;
    QByteArray m_before;
};

TEST(DialogPromptsTest, FolderChoosersStartAtTheSettingElsePicturesElseHome) {
    QTemporaryDir home;
    QTemporaryDir elsewhere;
    ASSERT_TRUE(home.isValid() && elsewhere.isValid());
    const std::string homePath = home.path().toStdString();
    ASSERT_TRUE(QDir(home.path()).mkpath("Photos de vacances"));
    ASSERT_TRUE(QDir(home.path()).mkpath("Images"));
    // The user's own Pictures folder comes from the XDG user directories.
    ASSERT_TRUE(QDir(home.path()).mkpath(".config"));
    {
        std::ofstream dirs(homePath + "/.config/user-dirs.dirs");
        dirs << "XDG_PICTURES_DIR=\"$HOME/Images\"\n";
    }
    const ScopedEnv homeEnv("HOME", home.path().toLocal8Bit());
    const ScopedEnv configEnv("XDG_CONFIG_HOME", (home.path() + "/.config").toLocal8Bit());
    // Never the program's current directory.
    const QString currentBefore = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());

    struct Row {
        const char* name;
        std::string setting;
        bool picturesExist;
        std::string expected;
    };
    const std::vector<Row> rows{
        {"the setting", homePath + "/Photos de vacances/", true, homePath + "/Photos de vacances/"},
        {"no setting: the Pictures folder", "", true, homePath + "/Images/"},
        {"a vanished setting: the Pictures folder", homePath + "/gone/", true,
         homePath + "/Images/"},
        {"no setting, no Pictures folder: home", "", false, homePath + "/"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (!row.picturesExist) {
            ASSERT_TRUE(QDir(home.path() + "/Images").removeRecursively());
        }
        ScriptedPrompts prompts;
        (void)prompts.chooseFolder(QStringLiteral("Sélectionner le répertoire courant"),
                                   row.setting);
        ASSERT_EQ(prompts.folderRequests.size(), 1u);
        EXPECT_EQ(prompts.folderRequests[0].second, row.expected);
    }
    QDir::setCurrent(currentBefore);
}

TEST(DialogPromptsTest, AnAddressThatCannotBeOpenedIsShownToCopy) {
    const std::string address = "https://lumicut.example.org/docsoft.html";
    struct Row {
        const char* name;
        bool browserStarts;
        bool warned;
    };
    const std::vector<Row> rows{
        {"a browser opens the page: nothing more", true, false},
        {"no browser: the address in a warning", false, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedPrompts prompts;
        prompts.urlsOpen = row.browserStarts;
        EXPECT_EQ(prompts.openAddress(QString::fromStdString(address)), row.browserStarts);
        EXPECT_EQ(prompts.openedUrls, std::vector<std::string>{address});
        ASSERT_EQ(prompts.messages.size(), row.warned ? 1u : 0u);
        if (!row.warned)
            continue;
        const MessageRequest& warning = prompts.messages[0];
        EXPECT_TRUE(warning.text.contains(QString::fromStdString(address)));
        EXPECT_EQ(warning.caption, "Attention!!!");
        EXPECT_EQ(warning.icon, QMessageBox::Warning);
        EXPECT_TRUE(warning.selectableText);
    }
}

TEST(DialogPromptsTest, MessageHelpersAskWithTheRightIconAndButtons) {
    ScriptedPrompts prompts;
    prompts.answerButton(QMessageBox::No);
    EXPECT_FALSE(prompts.askYesNo("Voulez vous effacer le fichier résultat ?",
                                  "Suppression fichier résultat"));
    prompts.answerButton(QMessageBox::Yes);
    EXPECT_TRUE(prompts.askYesNo("Encore ?", "Lumicut"));
    prompts.warn("Le fichier résultat n'existe pas", "Attention!!!");

    ASSERT_EQ(prompts.messages.size(), 3u);
    const MessageRequest& question = prompts.messages[0];
    EXPECT_EQ(question.text, "Voulez vous effacer le fichier résultat ?");
    EXPECT_EQ(question.caption, "Suppression fichier résultat");
    EXPECT_EQ(question.icon, QMessageBox::Question);
    EXPECT_EQ(question.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(question.defaultButton, QMessageBox::Yes);
    const MessageRequest& warning = prompts.messages[2];
    EXPECT_EQ(warning.caption, "Attention!!!");
    EXPECT_EQ(warning.icon, QMessageBox::Warning);
    EXPECT_EQ(warning.buttons, QMessageBox::Ok);
}

TEST(DialogPromptsTest, RealMessageBoxIsModalWithYesAsDefault) {
    MessageRequest request{"Question ?", "Titre", QMessageBox::Question,
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes};
    bool seen = false;
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = true;
        EXPECT_EQ(box->text(), "Question ?");
        EXPECT_EQ(box->windowTitle(), "Titre");
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Yes));
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(DialogPrompts().showBox(request), QMessageBox::No);
    EXPECT_TRUE(seen);
}

TEST(DialogPromptsTest, RealMessageBoxLetsTheUserSelectAnAddress) {
    MessageRequest request{ToolsApp::urlNotOpenedText("https://lumicut.example.org/"),
                           "Attention!!!", QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok};
    request.selectableText = true;
    bool seen = false;
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = true;
        EXPECT_TRUE(box->textInteractionFlags() & Qt::TextSelectableByMouse);
        EXPECT_TRUE(box->text().contains("https://lumicut.example.org/"));
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(DialogPrompts().showBox(request), QMessageBox::Ok);
    EXPECT_TRUE(seen);
}

} // namespace
