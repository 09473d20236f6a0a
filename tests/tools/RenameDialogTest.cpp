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

namespace fs = std::filesystem;

namespace {

struct RenameDialogTest : ::testing::Test {
    QTemporaryDir dir;
    std::string root = dir.path().toStdString() + "/";
    std::string paramPath = root + "param.dat";
    Settings settings{paramPath};
    ScriptedPrompts prompts;

    std::unique_ptr<RenameDialog> makeDialog(QWidget* parent = nullptr) {
        return std::make_unique<RenameDialog>(settings, prompts, parent);
    }
    static QLineEdit* edit(RenameDialog& dialog, const char* name) {
        return dialog.findChild<QLineEdit*>(QLatin1String(name));
    }
    static QPushButton* button(RenameDialog& dialog, const char* name) {
        return dialog.findChild<QPushButton*>(QLatin1String(name));
    }
};

// Runs body on the tag menu once it is open, then closes it.
void withOpenMenu(const std::function<void(QMenu&)>& body) {
    QTimer::singleShot(0, [body] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu) {
            body(*menu);
            menu->close();
        }
    });
}

} // namespace

TEST_F(RenameDialogTest, StartsFromTheStoredFolderAndMask) {
    settings.setRenameFolder("/photos/");
    settings.setRenameMask("Vac_%i");
    QWidget frame;
    frame.setWindowTitle(QStringLiteral("Lumicut"));
    auto dialog = makeDialog(&frame);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Lumicut"));
    EXPECT_EQ(dialog->folderText(), QStringLiteral("/photos/"));
    EXPECT_EQ(dialog->maskText(), QStringLiteral("Vac_%i"));
    auto* banner = dialog->findChild<GradientLabel*>();
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->text(), QStringLiteral("Renommer des photos"));
    EXPECT_TRUE(button(*dialog, "runButton")->isDefault());
}

TEST_F(RenameDialogTest, TagMenuWithoutCropTagAppendsAtTheEndWhereverTheCaret) {
    auto dialog = makeDialog();
    dialog->show();
    edit(*dialog, "maskEdit")->setText(QStringLiteral("P_"));
    edit(*dialog, "maskEdit")->setCursorPosition(0);
    QStringList texts;
    withOpenMenu([&texts](QMenu& menu) {
        for (QAction* action : menu.actions()) {
            texts << action->text();
        }
        menu.actions().at(3)->trigger();
    });
    button(*dialog, "tagButton")->click();
    EXPECT_EQ(texts, (QStringList{QStringLiteral("%i - Index unique"),
                                  QStringLiteral("%f - Nom du fichier origine"),
                                  QStringLiteral("%dj - Date du jour format yyyymmdd"),
                                  QStringLiteral("%dc - Date du cliché format yyyymmdd"),
                                  QStringLiteral("%sr - Nom du sous répertoire de la photo "
                                                 "d'origine")}));
    EXPECT_EQ(dialog->maskText(), QStringLiteral("P_%dc"));
}

TEST_F(RenameDialogTest, FolderPickerReplacesTheFieldUnlessCancelled) {
    auto dialog = makeDialog();
    edit(*dialog, "folderEdit")->setText(QString::fromStdString(root));
    prompts.answerFolder("/chosen");
    button(*dialog, "browseButton")->click();
    ASSERT_EQ(prompts.folderRequests.size(), 1u);
    EXPECT_EQ(prompts.folderRequests[0].first, "Choisir le répertoire contenant les photos");
    EXPECT_EQ(prompts.folderRequests[0].second, root) << "the chooser opens at the field's folder";
    EXPECT_EQ(dialog->folderText(), QStringLiteral("/chosen/"));
    button(*dialog, "browseButton")->click(); // cancelled
    EXPECT_EQ(dialog->folderText(), QStringLiteral("/chosen/"));
}

TEST_F(RenameDialogTest, RefusesBadFoldersWithTheirMessages) {
    fs::create_directory(root + "empty");
    struct Row {
        const char* description;
        std::string folder;
        QString message;
    };
    const Row rows[] = {
        {"parent missing", root + "missing/photos/",
         QStringLiteral("Le répertoire indiqué est incorrect !")},
        {"no photo", root + "empty/", QStringLiteral("Le répertoire ne contient aucunes photos !")},
    };
    auto dialog = makeDialog();
    for (const Row& row : rows) {
        prompts.messages.clear();
        edit(*dialog, "folderEdit")->setText(QString::fromStdString(row.folder));
        button(*dialog, "runButton")->click();
        ASSERT_EQ(prompts.messages.size(), 1u) << row.description;
        EXPECT_EQ(prompts.messages[0].text, row.message) << row.description;
        EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Lumicut")) << row.description;
        EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Warning) << row.description;
    }
}

TEST_F(RenameDialogTest, RunRenamesAndShowsProgressThenStaysOpen) {
    fs::create_directory(root + "in");
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(fixture::writeJpeg(root + "in/IMG_" + std::to_string(i) + ".jpg",
                                       "2006:07:14 10:20:30"));
    }
    auto dialog = makeDialog();
    dialog->show();
    edit(*dialog, "folderEdit")->setText(QString::fromStdString(root + "in/"));
    edit(*dialog, "maskEdit")->setText(QStringLiteral("Photos_%dc_%i"));
    std::vector<int> positions;
    QObject::connect(dialog.get(), &RenameDialog::progressChanged,
                     [&positions, &dialog](int percent) {
                         positions.push_back(percent);
                         EXPECT_FALSE(dialog->isEnabled());
                         const auto* progress = dialog->findChild<ProgressDialog*>();
                         ASSERT_NE(progress, nullptr);
                         EXPECT_TRUE(progress->isVisible());
                         EXPECT_TRUE(progress->isEnabled());
                         EXPECT_EQ(progress->pos(), percent);
                     });
    button(*dialog, "runButton")->click();

    EXPECT_EQ(positions, (std::vector<int>{0, 25, 50, 75}));
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->isEnabled());
    EXPECT_EQ(dialog->findChild<ProgressDialog*>(), nullptr);
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(fs::exists(root + "in/Photos_20060714_00" + std::to_string(i) + ".jpg")) << i;
    }
}

TEST_F(RenameDialogTest, ClosingStoresTheFieldsEvenWithoutARun) {
    auto dialog = makeDialog();
    dialog->show();
    edit(*dialog, "folderEdit")->setText(QStringLiteral("/somewhere/é/"));
    edit(*dialog, "maskEdit")->setText(QStringLiteral("X_%f"));
    button(*dialog, "cancelButton")->click();
    EXPECT_FALSE(dialog->isVisible());

    Settings reread{paramPath};
    EXPECT_EQ(reread.renameFolder(), "/somewhere/é/");
    EXPECT_EQ(reread.renameMask(), "X_%f");
}
