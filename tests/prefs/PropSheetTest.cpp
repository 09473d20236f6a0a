#include "prefs/PropSheetEx.h"

#include "settings/PrintFormat.h"
#include "settings/Settings.h"
#include "ui_support/ScriptedPrompts.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

struct PropSheetTest : ::testing::Test {
    QTemporaryDir dir;
    std::string paramPath = dir.path().toStdString() + "/param.dat";
    CSettings settings{paramPath};
    ScriptedPrompts messages;
    std::unique_ptr<CPropSheetEx> sheet;

    void Open() {
        sheet = std::make_unique<CPropSheetEx>(QStringLiteral("Préférences"), settings, messages);
        sheet->show();
    }
    template <typename T> T* Find(QWidget& parent, const char* name) {
        T* widget = parent.findChild<T*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLineEdit* GeneralEdit(const char* name) { return Find<QLineEdit>(sheet->GeneralPage(), name); }
    QCheckBox* GeneralCheck(const char* name) {
        return Find<QCheckBox>(sheet->GeneralPage(), name);
    }
    QLineEdit* FormatEdit(const char* name) { return Find<QLineEdit>(sheet->FormatPage(), name); }
    QListWidget* FormatList() { return Find<QListWidget>(sheet->FormatPage(), "formatList"); }
    void ClickFormatButton(const char* name) {
        Find<QPushButton>(sheet->FormatPage(), name)->click();
    }

    void FillFormat(const QString& name, const QString& hauteur, const QString& largeur,
                    const QString& border) {
        FormatEdit("formatName")->setText(name);
        FormatEdit("hauteur")->setText(hauteur);
        FormatEdit("largeur")->setText(largeur);
        FormatEdit("border")->setText(border);
    }
    [[nodiscard]] bool FileExists() const { return std::filesystem::exists(paramPath); }
    [[nodiscard]] std::vector<std::string> StoredFormats() const {
        std::vector<std::string> texts;
        CSettings(paramPath).LoadFormats(texts);
        return texts;
    }
};

} // namespace

TEST_F(PropSheetTest, OkWithoutChangesWritesTheGeneralKeysAgain) {
    Open();
    auto* tabs = sheet->findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->tabText(0) + tabs->tabText(1), QStringLiteral("GénéralFormats"));
    EXPECT_EQ(sheet->CancelButton()->text() + sheet->ApplyButton()->text(),
              QStringLiteral("AnnulerAppliquer"));
    // The page's own loading marked it modified.
    EXPECT_TRUE(sheet->ApplyButton()->isEnabled());
    // Another writer changes the file meanwhile; OK writes the sheet's values back over it.
    CSettings other{paramPath};
    other.SetJpegQuality(55);
    other.SetResultName("Other");
    sheet->OkButton()->click();
    EXPECT_FALSE(sheet->isVisible());

    CSettings reread{paramPath};
    EXPECT_EQ(reread.GetJpegQuality(), 100);
    EXPECT_EQ(reread.GetResultName(), "Photos_%dc_%i");
    // The Formats page was never shown: no format was written.
    EXPECT_TRUE(StoredFormats().empty());
}

TEST_F(PropSheetTest, AnnulerWritesNothing) {
    Open();
    GeneralCheck("checkVersion")->click();
    GeneralEdit("jpegQuality")->setText(QStringLiteral("42"));
    sheet->SetActivePage(1);
    sheet->CancelButton()->click();
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_FALSE(FileExists());
}

TEST_F(PropSheetTest, EveryGeneralFieldReachesItsKey) {
    settings.SetAutoRename(1);
    Open();
    GeneralCheck("recurse")->click();
    GeneralEdit("jpegQuality")->setText(QStringLiteral("85"));
    GeneralCheck("autoRename")->click();
    GeneralEdit("resultName")->setText(QStringLiteral("Tirage_%f"));
    GeneralCheck("recadColor")->click();
    GeneralCheck("smallBorder")->click();
    GeneralEdit("opacity")->setText(QStringLiteral("250")); // any unsigned number
    GeneralCheck("checkVersion")->click();
    GeneralCheck("keybProgressif")->click();
    GeneralCheck("fullFileName")->click();
    sheet->OkButton()->click();

    CSettings reread{paramPath};
    EXPECT_EQ(reread.GetRecurseOrigin(), 0);
    EXPECT_EQ(reread.GetJpegQuality(), 85);
    EXPECT_EQ(reread.GetAutoRename(), 0);
    EXPECT_EQ(reread.GetResultName(), "Tirage_%f");
    EXPECT_EQ(reread.GetUseRecadColor(), 0);
    EXPECT_EQ(reread.GetUseSmallRBorder(), 1);
    EXPECT_EQ(reread.GetOpacity(), 250);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(reread.GetCheckVersion(), 1);
    EXPECT_EQ(reread.GetKeybProgressif(), 0);
    EXPECT_EQ(reread.GetShowFullFileName(), 0);
}

TEST_F(PropSheetTest, AutoRenameEnablesTheMaskField) {
    settings.SetAutoRename(0);
    Open();
    EXPECT_FALSE(GeneralEdit("resultName")->isEnabled());
    GeneralCheck("autoRename")->click();
    EXPECT_TRUE(GeneralEdit("resultName")->isEnabled());
}

TEST_F(PropSheetTest, AppliquerWritesOnceAndDisablesItself) {
    Open();
    GeneralCheck("checkVersion")->click();
    sheet->ApplyButton()->click();
    EXPECT_FALSE(sheet->ApplyButton()->isEnabled());
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(CSettings(paramPath).GetCheckVersion(), 1);

    // Nothing marked since: OK finds the apply button disabled and writes nothing.
    CSettings other{paramPath};
    other.SetCheckVersion(0);
    sheet->OkButton()->click();
    EXPECT_EQ(CSettings(paramPath).GetCheckVersion(), 0);
}

TEST_F(PropSheetTest, JpegQualityMustBeANumberFrom0To100) {
    struct Row {
        const char* description;
        QString text;
        bool accepted;
        int stored;
    };
    const Row rows[] = {
        {"zero", QStringLiteral("0"), true, 0},
        {"blanks around", QStringLiteral(" 60 "), true, 60},
        {"over range", QStringLiteral("101"), false, 0},
        {"letters", QStringLiteral("abc"), false, 0},
        {"negative", QStringLiteral("-5"), false, 0},
    };
    for (const Row& row : rows) {
        std::filesystem::remove(paramPath);
        messages.messages.clear();
        Open();
        QApplication::setActiveWindow(sheet.get());
        GeneralEdit("jpegQuality")->setText(row.text);
        sheet->ApplyButton()->click();
        if (row.accepted) {
            EXPECT_TRUE(messages.messages.empty()) << row.description;
            EXPECT_EQ(CSettings(paramPath).GetJpegQuality(), row.stored) << row.description;
        } else {
            ASSERT_EQ(messages.messages.size(), 1u) << row.description;
            EXPECT_EQ(messages.messages[0].icon, QMessageBox::Warning) << row.description;
            EXPECT_FALSE(FileExists()) << row.description;
            EXPECT_TRUE(sheet->ApplyButton()->isEnabled()) << row.description;
            EXPECT_EQ(sheet->GeneralPage().BadField(), GeneralEdit("jpegQuality"))
                << row.description;
            EXPECT_EQ(sheet->focusWidget(), GeneralEdit("jpegQuality")) << row.description;
            // Neither can the page be left.
            EXPECT_FALSE(sheet->SetActivePage(1)) << row.description;
            sheet->OkButton()->click();
            EXPECT_TRUE(sheet->isVisible()) << row.description;
        }
    }
}

TEST_F(PropSheetTest, TagGoesToTheEndOfTheMask) {
    settings.SetResultName("Photos_");
    Open();
    GeneralEdit("resultName")->setCursorPosition(0);
    QStringList texts;
    QTimer::singleShot(0, [&texts] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions()) {
            texts << action->text();
        }
        menu->actions().at(3)->trigger();
        menu->close();
    });
    Find<QPushButton>(sheet->GeneralPage(), "tagButton")->click();
    ASSERT_EQ(texts.size(), 6);
    EXPECT_EQ(texts.back(), QStringLiteral("%r - Recadrage"));
    EXPECT_EQ(GeneralEdit("resultName")->text(), QStringLiteral("Photos_%dc"));
}

TEST_F(PropSheetTest, FormatsPageShowsTheDefaultAndStoresItOnOk) {
    Open();
    ASSERT_TRUE(sheet->SetActivePage(1));
    ASSERT_EQ(FormatList()->count(), 1);
    EXPECT_EQ(FormatList()->item(0)->text(), QStringLiteral("Défaut 10x15"));
    EXPECT_TRUE(FormatList()->selectedItems().isEmpty());
    EXPECT_EQ(FormatEdit("hauteur")->text(), QStringLiteral("0"));
    EXPECT_EQ(FormatEdit("formatName")->text(), QString());

    FormatList()->item(0)->setSelected(true);
    EXPECT_EQ(FormatEdit("hauteur")->text(), QStringLiteral("10"));
    EXPECT_EQ(FormatEdit("largeur")->text(), QStringLiteral("15"));
    EXPECT_EQ(FormatEdit("border")->text(), QStringLiteral("4"));

    sheet->OkButton()->click();
    EXPECT_EQ(StoredFormats(), (std::vector<std::string>{"Défaut 10x15", "15", "10", "4"}));
    EXPECT_EQ(CSettings(paramPath).GetShowFactor(), 1);
}

TEST_F(PropSheetTest, AddedFormatKeepsHauteurAndLargeurCrossed) {
    Open();
    sheet->SetActivePage(1);
    FillFormat(QStringLiteral("13x18"), QStringLiteral("13"), QStringLiteral("18"),
               QStringLiteral("4"));
    ClickFormatButton("addButton");
    ASSERT_EQ(FormatList()->count(), 2);
    EXPECT_TRUE(FormatList()->selectedItems().isEmpty());
    EXPECT_EQ(FormatEdit("formatName")->text(), QStringLiteral("13x18"));
    sheet->ApplyButton()->click();
    EXPECT_EQ(StoredFormats(), (std::vector<std::string>{"Défaut 10x15", "15", "10", "4", "13x18",
                                                         "18", "13", "4"}));

    FormatList()->item(0)->setSelected(true);
    FormatList()->item(1)->setSelected(true);
    EXPECT_EQ(FormatEdit("hauteur")->text(), QStringLiteral("13"));
    EXPECT_EQ(FormatEdit("largeur")->text(), QStringLiteral("18"));
}

TEST_F(PropSheetTest, AddingFollowsTheNameAndNumberRules) {
    struct Row {
        const char* description;
        QString name, hauteur, largeur, border;
        bool added;
        QString message;
        std::vector<std::string> lastTexts;
    };
    // clang-format off
    const Row rows[] = {
        {"duplicate name", QStringLiteral("Défaut 10x15"), "9", "13", "2", false,
         QStringLiteral("Un format avec le même nom existe déjà"), {}},
        {"differs only in case", QStringLiteral("défaut 10x15"), "9", "13", "2", true, {},
         {"défaut 10x15", "13", "9", "2"}},
        {"empty name", QString(), "9", "13", "2", false, {}, {}},
        {"zero border", QStringLiteral("Z"), "9", "13", "0", false, {}, {}},
        {"negative kept modulo 65536", QStringLiteral("N"), "-1", "13", "2", true, {},
         {"N", "13", "65535", "2"}},
    };
    // clang-format on
    for (const Row& row : rows) {
        std::filesystem::remove(paramPath);
        messages.messages.clear();
        Open();
        sheet->SetActivePage(1);
        sheet->Apply();
        ASSERT_FALSE(sheet->ApplyButton()->isEnabled());
        FillFormat(row.name, row.hauteur, row.largeur, row.border);
        ClickFormatButton("addButton");
        EXPECT_EQ(FormatList()->count(), row.added ? 2 : 1) << row.description;
        EXPECT_EQ(messages.LastText(), row.message) << row.description;
        // Only the duplicate leaves the page unmarked.
        EXPECT_EQ(sheet->ApplyButton()->isEnabled(), row.message.isEmpty()) << row.description;
        sheet->OkButton()->click();
        const std::vector<std::string> stored = StoredFormats();
        if (row.added) {
            ASSERT_EQ(stored.size(), 8u) << row.description;
            EXPECT_EQ(std::vector<std::string>(stored.begin() + 4, stored.end()), row.lastTexts)
                << row.description;
        } else {
            EXPECT_EQ(stored.size(), 4u) << row.description;
        }
    }
}

TEST_F(PropSheetTest, DeletingClearsTheFieldsAndUndoesAnUnreadRatioClick) {
    settings.SaveFormats({"A", "15", "10", "4", "B", "18", "13", "4"});
    settings.SetShowFactor(1);
    Open();
    sheet->SetActivePage(1);
    sheet->Apply();
    FormatList()->item(0)->setSelected(true);
    Find<QCheckBox>(sheet->FormatPage(), "showRatio")->setChecked(false);
    ClickFormatButton("deleteButton");
    EXPECT_EQ(FormatList()->count(), 1);
    EXPECT_EQ(FormatList()->item(0)->text(), QStringLiteral("B"));
    EXPECT_EQ(FormatEdit("formatName")->text(), QString());
    EXPECT_EQ(FormatEdit("hauteur")->text(), QStringLiteral("0"));
    EXPECT_TRUE(Find<QCheckBox>(sheet->FormatPage(), "showRatio")->isChecked());
    EXPECT_TRUE(sheet->ApplyButton()->isEnabled());
    sheet->OkButton()->click();
    EXPECT_EQ(StoredFormats(), (std::vector<std::string>{"B", "18", "13", "4"}));
}

TEST_F(PropSheetTest, EnterAndEscapeStayInEditFieldsAndTheList) {
    Open();
    QApplication::setActiveWindow(sheet.get());
    struct Row {
        const char* description;
        QWidget* target;
        Qt::Key key;
        bool closes;
    };
    sheet->SetActivePage(1);
    const Row rows[] = {
        {"Enter in a format field", FormatEdit("formatName"), Qt::Key_Return, false},
        {"Escape in a format field", FormatEdit("hauteur"), Qt::Key_Escape, false},
        {"Escape in the list", FormatList(), Qt::Key_Escape, false},
        {"Enter on the ratio check box", Find<QCheckBox>(sheet->FormatPage(), "showRatio"),
         Qt::Key_Return, true},
    };
    for (const Row& row : rows) {
        row.target->setFocus();
        QTest::keyClick(row.target, row.key);
        EXPECT_EQ(sheet->isVisible(), !row.closes) << row.description;
    }
}
