#include "prefs/PreferencesDialog.h"

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

struct PreferencesDialogTest : ::testing::Test {
    QTemporaryDir dir;
    std::string paramPath = dir.path().toStdString() + "/param.dat";
    Settings settings{paramPath};
    ScriptedPrompts messages;
    std::unique_ptr<PreferencesDialog> sheet;

    void open() {
        sheet =
            std::make_unique<PreferencesDialog>(QStringLiteral("Préférences"), settings, messages);
        sheet->show();
    }
    template <typename T> T* find(QWidget& parent, const char* name) {
        T* widget = parent.findChild<T*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLineEdit* generalEdit(const char* name) { return find<QLineEdit>(sheet->generalPage(), name); }
    QCheckBox* generalCheck(const char* name) {
        return find<QCheckBox>(sheet->generalPage(), name);
    }
    QLineEdit* formatEdit(const char* name) { return find<QLineEdit>(sheet->formatPage(), name); }
    QListWidget* formatList() { return find<QListWidget>(sheet->formatPage(), "formatList"); }
    void clickFormatButton(const char* name) {
        find<QPushButton>(sheet->formatPage(), name)->click();
    }

    void fillFormat(const QString& name, const QString& hauteur, const QString& largeur,
                    const QString& border) {
        formatEdit("formatName")->setText(name);
        formatEdit("hauteur")->setText(hauteur);
        formatEdit("largeur")->setText(largeur);
        formatEdit("border")->setText(border);
    }
    [[nodiscard]] bool fileExists() const { return std::filesystem::exists(paramPath); }
    [[nodiscard]] std::vector<std::string> storedFormats() const {
        std::vector<std::string> texts;
        Settings(paramPath).loadFormats(texts);
        return texts;
    }
};

} // namespace

TEST_F(PreferencesDialogTest, OkWithoutChangesWritesTheGeneralKeysAgain) {
    open();
    auto* tabs = sheet->findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->tabText(0) + tabs->tabText(1), QStringLiteral("GénéralFormats"));
    EXPECT_EQ(sheet->cancelButton()->text() + sheet->applyButton()->text(),
              QStringLiteral("AnnulerAppliquer"));
    // The page's own loading marked it modified.
    EXPECT_TRUE(sheet->applyButton()->isEnabled());
    // Another writer changes the file meanwhile; OK writes the sheet's values back over it.
    Settings other{paramPath};
    other.setJpegQuality(55);
    other.setResultName("Other");
    sheet->okButton()->click();
    EXPECT_FALSE(sheet->isVisible());

    Settings reread{paramPath};
    EXPECT_EQ(reread.jpegQuality(), 100);
    EXPECT_EQ(reread.resultName(), "Photos_%dc_%i");
    // The Formats page was never shown: no format was written.
    EXPECT_TRUE(storedFormats().empty());
}

TEST_F(PreferencesDialogTest, AnnulerWritesNothing) {
    open();
    generalCheck("checkVersion")->click();
    generalEdit("jpegQuality")->setText(QStringLiteral("42"));
    sheet->setActivePage(1);
    sheet->cancelButton()->click();
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_FALSE(fileExists());
}

TEST_F(PreferencesDialogTest, EveryGeneralFieldReachesItsKey) {
    settings.setAutoRename(1);
    open();
    generalCheck("recurse")->click();
    generalEdit("jpegQuality")->setText(QStringLiteral("85"));
    generalCheck("autoRename")->click();
    generalEdit("resultName")->setText(QStringLiteral("Tirage_%f"));
    generalCheck("recadColor")->click();
    generalCheck("smallBorder")->click();
    generalEdit("opacity")->setText(QStringLiteral("250")); // any unsigned number
    generalCheck("checkVersion")->click();
    generalCheck("keybProgressif")->click();
    generalCheck("fullFileName")->click();
    sheet->okButton()->click();

    Settings reread{paramPath};
    EXPECT_EQ(reread.recurseOrigin(), 0);
    EXPECT_EQ(reread.jpegQuality(), 85);
    EXPECT_EQ(reread.autoRename(), 0);
    EXPECT_EQ(reread.resultName(), "Tirage_%f");
    EXPECT_EQ(reread.useRecadColor(), 0);
    EXPECT_EQ(reread.useSmallRBorder(), 1);
    EXPECT_EQ(reread.opacity(), 250);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(reread.checkVersion(), 1);
    EXPECT_EQ(reread.keybProgressif(), 0);
    EXPECT_EQ(reread.showFullFileName(), 0);
}

TEST_F(PreferencesDialogTest, AutoRenameEnablesTheMaskField) {
    settings.setAutoRename(0);
    open();
    EXPECT_FALSE(generalEdit("resultName")->isEnabled());
    generalCheck("autoRename")->click();
    EXPECT_TRUE(generalEdit("resultName")->isEnabled());
}

TEST_F(PreferencesDialogTest, AppliquerWritesOnceAndDisablesItself) {
    open();
    generalCheck("checkVersion")->click();
    sheet->applyButton()->click();
    EXPECT_FALSE(sheet->applyButton()->isEnabled());
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(Settings(paramPath).checkVersion(), 1);

    // Nothing marked since: OK finds the apply button disabled and writes nothing.
    Settings other{paramPath};
    other.setCheckVersion(0);
    sheet->okButton()->click();
    EXPECT_EQ(Settings(paramPath).checkVersion(), 0);
}

TEST_F(PreferencesDialogTest, JpegQualityMustBeANumberFrom0To100) {
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
        open();
        QApplication::setActiveWindow(sheet.get());
        generalEdit("jpegQuality")->setText(row.text);
        sheet->applyButton()->click();
        if (row.accepted) {
            EXPECT_TRUE(messages.messages.empty()) << row.description;
            EXPECT_EQ(Settings(paramPath).jpegQuality(), row.stored) << row.description;
        } else {
            ASSERT_EQ(messages.messages.size(), 1u) << row.description;
            EXPECT_EQ(messages.messages[0].icon, QMessageBox::Warning) << row.description;
            EXPECT_FALSE(fileExists()) << row.description;
            EXPECT_TRUE(sheet->applyButton()->isEnabled()) << row.description;
            EXPECT_EQ(sheet->generalPage().badField(), generalEdit("jpegQuality"))
                << row.description;
            EXPECT_EQ(sheet->focusWidget(), generalEdit("jpegQuality")) << row.description;
            // Neither can the page be left.
            EXPECT_FALSE(sheet->setActivePage(1)) << row.description;
            sheet->okButton()->click();
            EXPECT_TRUE(sheet->isVisible()) << row.description;
        }
    }
}

TEST_F(PreferencesDialogTest, TagGoesToTheEndOfTheMask) {
    settings.setResultName("Photos_");
    open();
    generalEdit("resultName")->setCursorPosition(0);
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
    find<QPushButton>(sheet->generalPage(), "tagButton")->click();
    ASSERT_EQ(texts.size(), 6);
    EXPECT_EQ(texts.back(), QStringLiteral("%r - Recadrage"));
    EXPECT_EQ(generalEdit("resultName")->text(), QStringLiteral("Photos_%dc"));
}

TEST_F(PreferencesDialogTest, FormatsPageShowsTheDefaultAndStoresItOnOk) {
    open();
    ASSERT_TRUE(sheet->setActivePage(1));
    ASSERT_EQ(formatList()->count(), 1);
    EXPECT_EQ(formatList()->item(0)->text(), QStringLiteral("Défaut 10x15"));
    EXPECT_TRUE(formatList()->selectedItems().isEmpty());
    EXPECT_EQ(formatEdit("hauteur")->text(), QStringLiteral("0"));
    EXPECT_EQ(formatEdit("formatName")->text(), QString());

    formatList()->item(0)->setSelected(true);
    EXPECT_EQ(formatEdit("hauteur")->text(), QStringLiteral("10"));
    EXPECT_EQ(formatEdit("largeur")->text(), QStringLiteral("15"));
    EXPECT_EQ(formatEdit("border")->text(), QStringLiteral("4"));

    sheet->okButton()->click();
    EXPECT_EQ(storedFormats(), (std::vector<std::string>{"Défaut 10x15", "15", "10", "4"}));
    EXPECT_EQ(Settings(paramPath).showFactor(), 1);
}

TEST_F(PreferencesDialogTest, AddedFormatKeepsHauteurAndLargeurCrossed) {
    open();
    sheet->setActivePage(1);
    fillFormat(QStringLiteral("13x18"), QStringLiteral("13"), QStringLiteral("18"),
               QStringLiteral("4"));
    clickFormatButton("addButton");
    ASSERT_EQ(formatList()->count(), 2);
    EXPECT_TRUE(formatList()->selectedItems().isEmpty());
    EXPECT_EQ(formatEdit("formatName")->text(), QStringLiteral("13x18"));
    sheet->applyButton()->click();
    EXPECT_EQ(storedFormats(), (std::vector<std::string>{"Défaut 10x15", "15", "10", "4", "13x18",
                                                         "18", "13", "4"}));

    formatList()->item(0)->setSelected(true);
    formatList()->item(1)->setSelected(true);
    EXPECT_EQ(formatEdit("hauteur")->text(), QStringLiteral("13"));
    EXPECT_EQ(formatEdit("largeur")->text(), QStringLiteral("18"));
}

TEST_F(PreferencesDialogTest, AddingFollowsTheNameAndNumberRules) {
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
        open();
        sheet->setActivePage(1);
        sheet->apply();
        ASSERT_FALSE(sheet->applyButton()->isEnabled());
        fillFormat(row.name, row.hauteur, row.largeur, row.border);
        clickFormatButton("addButton");
        EXPECT_EQ(formatList()->count(), row.added ? 2 : 1) << row.description;
        EXPECT_EQ(messages.lastText(), row.message) << row.description;
        // Only the duplicate leaves the page unmarked.
        EXPECT_EQ(sheet->applyButton()->isEnabled(), row.message.isEmpty()) << row.description;
        sheet->okButton()->click();
        const std::vector<std::string> stored = storedFormats();
        if (row.added) {
            ASSERT_EQ(stored.size(), 8u) << row.description;
            EXPECT_EQ(std::vector<std::string>(stored.begin() + 4, stored.end()), row.lastTexts)
                << row.description;
        } else {
            EXPECT_EQ(stored.size(), 4u) << row.description;
        }
    }
}

TEST_F(PreferencesDialogTest, DeletingClearsTheFieldsAndUndoesAnUnreadRatioClick) {
    settings.saveFormats({"A", "15", "10", "4", "B", "18", "13", "4"});
    settings.setShowFactor(1);
    open();
    sheet->setActivePage(1);
    sheet->apply();
    clickFormatButton("deleteButton");
    ASSERT_EQ(formatList()->count(), 2) << "nothing selected, nothing deleted";
    formatList()->item(0)->setSelected(true);
    find<QCheckBox>(sheet->formatPage(), "showRatio")->setChecked(false);
    clickFormatButton("deleteButton");
    EXPECT_EQ(formatList()->count(), 1);
    EXPECT_EQ(formatList()->item(0)->text(), QStringLiteral("B"));
    EXPECT_EQ(formatEdit("formatName")->text(), QString());
    EXPECT_EQ(formatEdit("hauteur")->text(), QStringLiteral("0"));
    EXPECT_TRUE(find<QCheckBox>(sheet->formatPage(), "showRatio")->isChecked());
    EXPECT_TRUE(sheet->applyButton()->isEnabled());
    sheet->okButton()->click();
    EXPECT_EQ(storedFormats(), (std::vector<std::string>{"B", "18", "13", "4"}));
}

TEST_F(PreferencesDialogTest, EnterAndEscapeStayInEditFieldsAndTheList) {
    open();
    QApplication::setActiveWindow(sheet.get());
    struct Row {
        const char* description;
        QWidget* target;
        Qt::Key key;
        bool closes;
    };
    sheet->setActivePage(1);
    const Row rows[] = {
        {"Enter in a format field", formatEdit("formatName"), Qt::Key_Return, false},
        {"Escape in a format field", formatEdit("hauteur"), Qt::Key_Escape, false},
        {"Escape in the list", formatList(), Qt::Key_Escape, false},
        {"Enter on the ratio check box", find<QCheckBox>(sheet->formatPage(), "showRatio"),
         Qt::Key_Return, true},
    };
    for (const Row& row : rows) {
        row.target->setFocus();
        QTest::keyClick(row.target, row.key);
        EXPECT_EQ(sheet->isVisible(), !row.closes) << row.description;
    }
}
