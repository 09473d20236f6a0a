#include "tools/ToolsApp.h"
#include "ui_support/ScriptedPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ToolsAppTest, BrowseForFolderEndsWithSlashOrIsEmpty) {
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
        prompts.AnswerFolder(row.picked);
        EXPECT_EQ(CToolsApp::BrowseForFolder("Sélectionner le répertoire courant", "/tmp/in/"),
                  row.expected);
        ASSERT_EQ(prompts.folderRequests.size(), 1u);
        EXPECT_EQ(prompts.folderRequests[0].first, "Sélectionner le répertoire courant");
        EXPECT_EQ(prompts.folderRequests[0].second, "/tmp/in/");
    }
}

TEST(ToolsAppTest, MessageHelpersAskWithTheRightIconAndButtons) {
    ScriptedPrompts prompts;
    prompts.AnswerButton(QMessageBox::No);
    EXPECT_FALSE(CToolsApp::AskYesNo("Voulez vous effacer le fichier résultat ?",
                                     "Suppression fichier résultat"));
    prompts.AnswerButton(QMessageBox::Yes);
    EXPECT_TRUE(CToolsApp::AskYesNo("Encore ?"));
    CToolsApp::ShowWarning("Le fichier résultat n'existe pas");

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

TEST(ToolsAppTest, RealMessageBoxIsModalWithYesAsDefault) {
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
    EXPECT_EQ(CToolsApp::MessageBox(request), QMessageBox::No);
    EXPECT_TRUE(seen);
}

TEST(ToolsAppTest, ModuleFolderIsTheExecutablesFolder) {
    const std::string folder = CToolsApp::GetModuleFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_EQ(folder, QCoreApplication::applicationDirPath().toStdString() + "/");
}

} // namespace
