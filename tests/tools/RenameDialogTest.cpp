#include "tools/RenameDialog.h"

#include "settings/Settings.h"
#include "support/ExifJpegFixture.h"
#include "ui_support/ScriptedPrompts.h"
#include "view/ProgressDialog.h"
#include "widgets/GradientLabel.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

TEST(RenameDialogTest, AFolderRunFromTheStoredFieldsUnderProgress) {
    const QTemporaryDir dir;
    const std::string root = dir.path().toStdString() + "/";
    Settings settings{root + "param.dat"};
    settings.setRenameFolder(root + "empty/");
    settings.setRenameMask("P_");
    ScriptedPrompts prompts;
    RenameDialog dialog(settings, prompts, nullptr);
    dialog.show();
    const auto edit = [&dialog](const char* name) { return dialog.findChild<QLineEdit*>(name); };
    const auto click = [&dialog](const char* name) {
        dialog.findChild<QPushButton*>(name)->click();
    };
    EXPECT_EQ(dialog.findChild<GradientLabel*>()->text(), "Renommer des photos");
    EXPECT_TRUE(dialog.findChild<QPushButton*>("runButton")->isDefault());

    // A tag goes to the end of the mask wherever the caret; no crop tag here.
    edit("maskEdit")->setCursorPosition(0);
    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->actions().size(), 5);
        menu->actions().at(3)->trigger();
        menu->close();
    });
    click("tagButton");
    EXPECT_EQ(dialog.maskText(), "P_%dc");

    std::filesystem::create_directories(root + "empty");
    const std::pair<std::string, QString> refused[] = {
        {root + "missing/photos/", "Le répertoire indiqué est incorrect !"},
        {root + "empty/", "Le répertoire ne contient aucunes photos !"},
    };
    for (const auto& [folder, message] : refused) {
        edit("folderEdit")->setText(QString::fromStdString(folder));
        prompts.messages.clear();
        click("runButton");
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text, message);
        EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Warning);
    }

    // The picker opens at the field's folder and replaces it unless cancelled.
    std::filesystem::create_directories(root + "in");
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(
            fixture::writeJpeg(root + "in/" + std::to_string(i) + ".jpg", "2006:07:14 10:20:30"));
    prompts.answerFolder(root + "in");
    click("browseButton");
    click("browseButton");
    EXPECT_EQ(prompts.folderRequests[0].first, "Choisir le répertoire contenant les photos");
    EXPECT_EQ(prompts.folderRequests[0].second, root + "empty/");
    EXPECT_EQ(dialog.folderText().toStdString(), root + "in/");

    std::vector<int> positions;
    QObject::connect(&dialog, &RenameDialog::progressChanged, [&](int percent) {
        positions.push_back(percent);
        EXPECT_FALSE(dialog.isEnabled());
        const auto* progress = dialog.findChild<ProgressDialog*>();
        ASSERT_NE(progress, nullptr);
        EXPECT_TRUE(progress->isVisible());
        EXPECT_EQ(progress->pos(), percent);
    });
    edit("maskEdit")->setText("P_%dc_%i");
    prompts.messages.clear();
    click("runButton");
    EXPECT_EQ(positions, (std::vector<int>{0, 25, 50, 75}));
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(dialog.isVisible() && dialog.isEnabled()) << "open for another folder";
    EXPECT_EQ(dialog.findChild<ProgressDialog*>(), nullptr);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(
            std::filesystem::exists(root + "in/P_20060714_00" + std::to_string(i) + ".jpg"));

    // Closing stores both fields.
    click("cancelButton");
    EXPECT_EQ(Settings(root + "param.dat").renameFolder(), root + "in/");
    EXPECT_EQ(Settings(root + "param.dat").renameMask(), "P_%dc_%i");
}
