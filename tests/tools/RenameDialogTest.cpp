#include "tools/RenameDialog.h"

#include "settings/Settings.h"
#include "support/ExifJpegFixture.h"
#include "ui_support/ScriptedPrompts.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

// The preview's rows as "current > new", once it has settled after typing.
std::vector<std::string> shownRows(const QTreeWidget& preview, int expectedRows) {
    EXPECT_TRUE(QTest::qWaitFor([&] { return preview.topLevelItemCount() == expectedRows; }));
    std::vector<std::string> rows;
    for (int i = 0; i < preview.topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = preview.topLevelItem(i);
        rows.push_back((item->text(0) + " > " + item->text(1)).toStdString());
    }
    return rows;
}

} // namespace

TEST(RenameDialogTest, TypedMaskFillsThePreviewAndARunTellsItsCounts) {
    const QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/in/";
    std::filesystem::create_directories(folder + "sub");
    const std::pair<const char*, const char*> photos[] = {{"a.jpg", "2006:07:14 10:20:30"},
                                                          {"b.jpg", "2007:01:02 08:00:00"},
                                                          {"c.jpg", "2006:07:14 11:00:00"},
                                                          {"sub/e.jpg", "2007:01:02 09:00:00"}};
    for (const auto& [name, date] : photos) {
        ASSERT_TRUE(fixture::writeJpeg(folder + name, date));
    }
    const std::string other = dir.path().toStdString() + "/other/";
    std::filesystem::create_directories(other);
    ASSERT_TRUE(fixture::writeJpeg(other + "z.jpg", ""));
    Settings settings{dir.path().toStdString() + "/param.dat"};
    settings.setRenameFolder("");
    settings.setRenameMask("");
    ScriptedPrompts prompts;
    RenameDialog dialog(settings, prompts, nullptr);
    dialog.show();
    auto* preview = dialog.findChild<QTreeWidget*>("preview");
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isHidden()) << "no folder, no preview";
    EXPECT_EQ(preview->headerItem()->text(0), "Nom actuel");
    EXPECT_EQ(preview->headerItem()->text(1), "Nouveau nom");

    auto* folderEdit = dialog.findChild<QLineEdit*>("folderEdit");
    folderEdit->setText(QString::fromStdString(other));
    EXPECT_TRUE(QTest::qWaitFor([&] { return preview->isVisible(); }));
    folderEdit->setText(QString::fromStdString(folder)); // another folder is read again
    QTest::keyClicks(dialog.findChild<QLineEdit*>("maskEdit"), "D_%dc");
    EXPECT_EQ(shownRows(*preview, 4), (std::vector<std::string>{
                                          "a.jpg > D_20060714.jpg",
                                          "b.jpg > D_20070102.jpg",
                                          "c.jpg > c.jpg",
                                          "sub/e.jpg > sub/D_20070102.jpg",
                                      }));
    EXPECT_NE(preview->topLevelItem(2)->foreground(1), preview->topLevelItem(0)->foreground(1))
        << "a photo keeping its name is set apart";

    dialog.findChild<QPushButton*>("runButton")->click();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "3 photo(s) renommée(s), 1 ignorée(s), 0 en échec.");
    EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Information);
    EXPECT_EQ(shownRows(*preview, 4).front(), "c.jpg > c.jpg") << "the folder is read again";
}
