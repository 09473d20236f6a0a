#include "prefs/PreferencesDialog.h"

#include "settings/Settings.h"
#include "ui_support/ScriptedPrompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

struct PreferencesDialogTest : ::testing::Test {
    QTemporaryDir dir;
    std::string paramPath = dir.path().toStdString() + "/param.dat";
    Settings settings{paramPath};
    ScriptedPrompts prompts;
    std::unique_ptr<PreferencesDialog> sheet;

    void open(int page = 0) {
        sheet =
            std::make_unique<PreferencesDialog>(QStringLiteral("Préférences"), settings, prompts);
        sheet->show();
        QApplication::setActiveWindow(sheet.get());
        sheet->setActivePage(page);
    }
    template <typename T = QLineEdit> T* field(const char* name) {
        T* widget = sheet->findChild<T*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void click(const char* name) { field<QAbstractButton>(name)->click(); }
    [[nodiscard]] std::vector<std::string> storedFormats() const {
        std::vector<std::string> texts;
        Settings(paramPath).loadFormats(texts);
        return texts;
    }
};

} // namespace

TEST_F(PreferencesDialogTest, ButtonsDecideWhatIsWritten) {
    open();
    click("checkVersion");
    sheet->cancelButton()->click();
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_FALSE(std::filesystem::exists(paramPath)) << "Annuler writes nothing";

    open();
    EXPECT_TRUE(sheet->applyButton()->isEnabled()) << "loading the page marked it modified";
    click("checkVersion");
    sheet->applyButton()->click();
    EXPECT_FALSE(sheet->applyButton()->isEnabled());
    EXPECT_EQ(Settings(paramPath).checkVersion(), 1);
    Settings(paramPath).setCheckVersion(0); // another writer
    sheet->okButton()->click();
    EXPECT_EQ(Settings(paramPath).checkVersion(), 0) << "nothing marked since Appliquer";

    open();
    Settings(paramPath).setJpegQuality(55);
    sheet->okButton()->click();
    EXPECT_EQ(Settings(paramPath).jpegQuality(), 100) << "OK writes the page's values again";
    EXPECT_TRUE(storedFormats().empty()) << "the Formats page was never shown";
}

TEST_F(PreferencesDialogTest, EveryGeneralFieldReachesItsKey) {
    settings.setAutoRename(0);
    open();
    EXPECT_FALSE(field("resultName")->isEnabled());
    click("autoRename");
    EXPECT_TRUE(field("resultName")->isEnabled());
    for (const char* name :
         {"recurse", "recadColor", "smallBorder", "checkVersion", "keybProgressif", "fullFileName"})
        click(name);
    for (const char* bad : {"x", "101"}) { // told, and the sheet stays open, unwritten
        field("jpegQuality")->setText(bad);
        sheet->okButton()->click();
        EXPECT_TRUE(sheet->isVisible()) << bad;
        EXPECT_EQ(Settings(paramPath).autoRename(), 0) << bad;
    }
    EXPECT_EQ(prompts.messages.size(), 2u);
    field("jpegQuality")->setText(" 85 ");
    field("resultName")->setText("Tirage_%f");
    field("opacity")->setText("250");
    sheet->okButton()->click();
    const Settings r{paramPath};
    EXPECT_EQ((std::vector<int>{r.autoRename(), r.recurseOrigin(), r.useRecadColor(),
                                r.useSmallRBorder(), r.checkVersion(), r.keybProgressif(),
                                r.showFullFileName(), r.jpegQuality(), r.opacity()}),
              (std::vector<int>{1, 0, 0, 1, 1, 0, 0, 85, 250}));
    EXPECT_EQ(r.resultName(), "Tirage_%f");
}

TEST_F(PreferencesDialogTest, FormatsAreAddedAndDeletedByTheirRules) {
    // Format name, height, width and border typed; the message told; what is stored after
    // the default format (empty: refused).
    using Row = std::tuple<const char*, QString, QString, QString, QString, QString,
                           std::vector<std::string>>;
    // clang-format off
    const Row rows[] = {
        {"added with height and width crossed", "13x18", "13", "18", "4", {}, {"13x18", "18", "13", "4"}},
        {"a name that is there already", "Défaut 10x15", "9", "13", "2", "Un format avec le même nom existe déjà", {}},
        {"differing only in case", "défaut 10x15", "9", "13", "2", {}, {"défaut 10x15", "13", "9", "2"}},
        {"empty name", "", "9", "13", "2", {}, {}},
        {"zero height", "Z", "0", "13", "2", {}, {}},
        {"zero border", "Z", "9", "13", "0", {}, {}},
        {"negative kept modulo 65536", "N", "-1", "13", "2", {}, {"N", "13", "65535", "2"}},
    };
    // clang-format on
    for (const auto& [name, format, hauteur, largeur, border, message, added] : rows) {
        SCOPED_TRACE(name);
        std::filesystem::remove(paramPath);
        prompts.messages.clear();
        open(1);
        ASSERT_EQ(field<QListWidget>("formatList")->count(), 1);
        sheet->apply();
        field("formatName")->setText(format);
        field("hauteur")->setText(hauteur);
        field("largeur")->setText(largeur);
        field("border")->setText(border);
        click("addButton");
        EXPECT_EQ(prompts.messages.empty() ? QString() : prompts.messages.back().text, message);
        // Only the duplicate leaves the page unmarked.
        EXPECT_EQ(sheet->applyButton()->isEnabled(), message.isEmpty());
        sheet->okButton()->click();
        std::vector<std::string> expected{"Défaut 10x15", "15", "10", "4"};
        expected.insert(expected.end(), added.begin(), added.end());
        EXPECT_EQ(storedFormats(), expected);
    }

    settings.saveFormats({"A", "15", "10", "4", "B", "18", "13", "4"});
    open(1);
    auto* list = field<QListWidget>("formatList");
    click("deleteButton");
    ASSERT_EQ(list->count(), 2) << "nothing selected, nothing deleted";
    list->item(1)->setSelected(true);
    EXPECT_EQ(field("hauteur")->text(), QStringLiteral("13"));
    list->clearSelection();
    EXPECT_EQ(field("hauteur")->text(), QStringLiteral("13")) << "no selection: the fields stay";
    list->item(0)->setSelected(true);
    click("deleteButton");
    EXPECT_EQ(field("formatName")->text(), QString());
    EXPECT_EQ(field("hauteur")->text(), QStringLiteral("0"));
    sheet->okButton()->click();
    EXPECT_EQ(storedFormats(), (std::vector<std::string>{"B", "18", "13", "4"}));
}
