#include "app/MainWindow.h"
#include "app/ShellIcons.h"
#include "app/SplashWindow.h"
#include "app/ToolbarIcons.h"
#include "engine/PhotoDocument.h"
#include "settings/Settings.h"
#include "ui_support/ScriptedPrompts.h"
#include "view/LumicutView.h"
#include "view/PhotoView.h"
#include "view/ViewActions.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_root = m_dir.path().toStdString() + "/";
    }
    void TearDown() override { SplashWindow::enableSplash(false); }

    // The frame with the photo view in it, as the program builds them.
    LumicutView& addView() {
        auto* view = new LumicutView(m_settings, m_prompts, &m_frame);
        m_frame.setView(view);
        return *view;
    }

    QTemporaryDir m_dir;
    std::string m_root;
    Settings m_settings{m_dir.path().toStdString() + "/param.dat"};
    ScriptedPrompts m_prompts;
    MainWindow m_frame{m_settings, m_prompts};
};

// A layout as the widget shows it: the action of each command, null for a separator.
std::vector<QAction*> expected(const LumicutView& view, std::span<const LayoutItem> layout) {
    std::vector<QAction*> actions;
    for (const LayoutItem& item : layout)
        actions.push_back(item ? view.actions().action(*item) : nullptr);
    return actions;
}

std::vector<QAction*> shown(const QList<QAction*>& actions) {
    std::vector<QAction*> shown;
    for (QAction* action : actions)
        shown.push_back(action->isSeparator() ? nullptr : action);
    return shown;
}

TEST_F(MainWindowTest, MenuBarShowsTheViewsActionsInLayoutOrder) {
    const LumicutView& view = addView();
    const std::span<const MenuLayout> layout = ViewActions::menuLayout();
    const QList<QAction*> popups = m_frame.menuBar()->actions();
    ASSERT_EQ(popups.size(), static_cast<qsizetype>(layout.size()));
    for (std::size_t i = 0; i < layout.size(); ++i) {
        SCOPED_TRACE(layout[i].title);
        EXPECT_EQ(popups[i]->text(), QString::fromUtf8(layout[i].title));
        ASSERT_NE(popups[i]->menu(), nullptr);
        EXPECT_EQ(shown(popups[i]->menu()->actions()), expected(view, layout[i].items));
    }
}

TEST_F(MainWindowTest, ToolbarShowsTheViewsActionsWithTheirPictures) {
    const LumicutView& view = addView();
    const std::span<const LayoutItem> layout = ViewActions::toolBarLayout();
    const QList<QAction*> actions = m_frame.toolBar()->actions();
    EXPECT_EQ(shown(actions), expected(view, layout));
    for (std::size_t i = 0; i < layout.size() && i < static_cast<std::size_t>(actions.size());
         ++i) {
        if (!layout[i])
            continue;
        SCOPED_TRACE(actions[i]->toolTip().toStdString());
        const QImage picture = toolbarIcon(*layout[i]).pixmap(16, 16).toImage();
        EXPECT_FALSE(picture.isNull());
        EXPECT_EQ(actions[i]->icon().pixmap(16, 16).toImage(), picture);
    }
    EXPECT_EQ(m_frame.toolBar()->iconSize(), QSize(16, 16));
    EXPECT_FALSE(m_frame.toolBar()->isMovable());
    EXPECT_FALSE(m_frame.toolBar()->isFloatable());
}

TEST_F(MainWindowTest, MenuActionsBindNoKeysOfTheirOwn) {
    addView();
    for (QAction* popup : m_frame.menuBar()->actions()) {
        for (QAction* action : popup->menu()->actions())
            EXPECT_TRUE(action->shortcut().isEmpty()) << action->text().toStdString();
    }
}

TEST_F(MainWindowTest, ToolbarBackgroundShowsAroundThePictures) {
    const LumicutView& view = addView();
    m_frame.resize(800, 600);
    QWidget* button =
        m_frame.toolBar()->widgetForAction(view.actions().action(Command::WorkingFolder));
    ASSERT_NE(button, nullptr);
    const QImage shown = button->grab().toImage();
    // The picture is centred in its button, in the button's pixels; the folder does not
    // reach the picture's bottom-left corner, so what the toolbar paints shows there, the
    // same as just left of the picture.
    const QRect picture = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, QSize(16, 16),
                                              QRect(QPoint(0, 0), shown.size()));
    EXPECT_EQ(shown.pixelColor(picture.left(), picture.bottom()),
              shown.pixelColor(picture.left() - 1, picture.bottom()));
    EXPECT_NE(shown.pixelColor(picture.center()),
              shown.pixelColor(picture.left() - 1, picture.bottom()));
}

TEST_F(MainWindowTest, StatusBarIdleTextAndIndicators) {
    QStringList texts;
    for (const QLabel* label : m_frame.statusBar()->findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains("Prêt"));
    for (const char* indicator : {"MAJ", "NUM", "DEF"})
        EXPECT_TRUE(texts.contains(indicator)) << indicator;
}

TEST_F(MainWindowTest, ShowResultStatusTable) {
    const std::string destination = m_root + "out/";
    std::filesystem::create_directories(destination);
    const std::string saved = destination + "Photos_20060714_000.jpg";
    std::ofstream(saved) << "x";

    struct Row {
        const char* name;
        int showFullFileName;
        std::string destinationSetting;
        std::string path;
        bool changed;
        std::string expectedText;
        ResultIcon expectedIcon;
    };
    const std::vector<Row> rows{
        {"full name shown", 1, destination, saved, false, "Destination : " + saved,
         ResultIcon::Saved},
        {"folder removed when full name off", 0, destination, saved, false,
         "Destination : Photos_20060714_000.jpg", ResultIcon::Saved},
        {"changed since saved", 0, destination, saved, true,
         "Destination : Photos_20060714_000.jpg", ResultIcon::Changed},
        {"empty path", 0, destination, "", false, "Destination : ", ResultIcon::Missing},
        {"no file yet", 1, destination, destination + "Photos_x_001.jpg", true,
         "Destination : " + destination + "Photos_x_001.jpg", ResultIcon::Missing},
        {"folder case differs: nothing removed", 0, m_root + "OUT/", saved, false,
         "Destination : " + saved, ResultIcon::Saved},
        {"every occurrence removed", 0, "/x/", "/x/y/x/z.jpg", false, "Destination : yz.jpg",
         ResultIcon::Missing},
        {"a folder is not a result", 1, destination, destination, false,
         "Destination : " + destination, ResultIcon::Missing},
    };
    EXPECT_FALSE(m_frame.resultStatusIcon().has_value());
    auto* iconPane = m_frame.findChild<QLabel*>("ResultIconPane");
    ASSERT_NE(iconPane, nullptr);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        m_settings.setShowFullFileName(row.showFullFileName);
        m_settings.setDestinationFolder(row.destinationSetting);
        m_frame.showResultStatus(row.path, row.changed);
        EXPECT_EQ(m_frame.resultStatusText().toStdString(), row.expectedText);
        ASSERT_TRUE(m_frame.resultStatusIcon().has_value());
        EXPECT_EQ(*m_frame.resultStatusIcon(), row.expectedIcon);
        EXPECT_EQ(iconPane->pixmap().toImage(), resultIconPixmap(row.expectedIcon).toImage());
    }
    const QImage missing = resultIconPixmap(ResultIcon::Missing).toImage();
    const QImage changed = resultIconPixmap(ResultIcon::Changed).toImage();
    EXPECT_NE(missing, changed);
    EXPECT_NE(missing, resultIconPixmap(ResultIcon::Saved).toImage());
    EXPECT_NE(changed, resultIconPixmap(ResultIcon::Saved).toImage());
}

TEST_F(MainWindowTest, KeysOfTheViewTriggerTheActionOfTheirCommand) {
    m_settings.setDestinationFolder(m_root); // no photo: results would go here
    LumicutView& view = addView();
    struct Row {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::optional<Command> expected; // nullopt: a key-only action or nothing
    };
    const Row rows[] = {
        {"B", Qt::Key_B, Qt::NoModifier, Command::WhiteBorder},
        {"I", Qt::Key_I, Qt::NoModifier, Command::IdSheet},
        {"keypad /", Qt::Key_Slash, Qt::KeypadModifier, Command::Thirds},
        {"Shift+Left", Qt::Key_Left, Qt::ShiftModifier, Command::RotateLeft},
        {"Shift+Down", Qt::Key_Down, Qt::ShiftModifier, Command::FlipHorizontal},
        {"keypad 1", Qt::Key_1, Qt::KeypadModifier, Command::Grayscale},
        {"keypad +", Qt::Key_Plus, Qt::KeypadModifier, Command::ZoomIn},
        {"keypad -", Qt::Key_Minus, Qt::KeypadModifier, Command::ZoomOut},
        {"keypad *", Qt::Key_Asterisk, Qt::KeypadModifier, Command::TurnFrame},
        {"Escape", Qt::Key_Escape, Qt::NoModifier, Command::NextPicture},
        {"keypad 0", Qt::Key_0, Qt::KeypadModifier, Command::PreviousPicture},
        {"Delete", Qt::Key_Delete, Qt::NoModifier, Command::DeleteResult},
        {"Backspace", Qt::Key_Backspace, Qt::NoModifier, Command::DeletePreviousResult},
        {"F1", Qt::Key_F1, Qt::NoModifier, Command::OnlineHelp},
        {"Left moves the frame only", Qt::Key_Left, Qt::NoModifier, std::nullopt},
        {"Home reloads only", Qt::Key_Home, Qt::NoModifier, std::nullopt},
        {"top-row 1 does nothing", Qt::Key_1, Qt::NoModifier, std::nullopt},
    };
    std::vector<std::pair<QAction*, std::unique_ptr<QSignalSpy>>> spies;
    for (QAction* action : view.actions().findChildren<QAction*>())
        spies.emplace_back(action, std::make_unique<QSignalSpy>(action, &QAction::triggered));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (auto& [action, spy] : spies)
            spy->clear();
        QTest::keyClick(&view, row.key, row.modifiers);
        QAction* expected = row.expected ? view.actions().action(*row.expected) : nullptr;
        for (auto& [action, spy] : spies)
            EXPECT_EQ(spy->count(), action == expected ? 1 : 0) << action->text().toStdString();
    }
}

TEST_F(MainWindowTest, CheckMarksFollowTheStateTheyShow) {
    LumicutView& view = addView();
    m_frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_frame));
    QAction* thirds = view.actions().action(Command::Thirds);
    QAction* border = view.actions().action(Command::WhiteBorder);
    QAction* sheet = view.actions().action(Command::IdSheet);
    for (QAction* action : {thirds, border, sheet})
        EXPECT_TRUE(action->isCheckable());
    EXPECT_FALSE(view.actions().action(Command::FullScreen)->isCheckable());

    struct Step {
        const char* name;
        std::function<void()> act;
        bool thirds;
        bool border;
        bool sheet;
    };
    const Step steps[] = {
        {"thirds from the menu", [&] { thirds->trigger(); }, true, false, false},
        {"white border from its toolbar button",
         [&] { QTest::mouseClick(m_frame.toolBar()->widgetForAction(border), Qt::LeftButton); },
         true, true, false},
        {"thirds off by key", [&] { QTest::keyClick(&view, Qt::Key_Slash, Qt::KeypadModifier); },
         false, true, false},
        {"the sheet turns the border off", [&] { QTest::keyClick(&view, Qt::Key_I); }, false, false,
         true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        EXPECT_EQ(view.document().thirds(), step.thirds);
        EXPECT_EQ(view.document().whiteBorder(), step.border);
        EXPECT_EQ(view.document().idSheet(), step.sheet);
        EXPECT_EQ(thirds->isChecked(), step.thirds);
        EXPECT_EQ(border->isChecked(), step.border);
        EXPECT_EQ(sheet->isChecked(), step.sheet);
    }
}

TEST_F(MainWindowTest, QuitClosesTheWindow) {
    LumicutView& view = addView();
    m_frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_frame));
    view.actions().action(Command::Quit)->trigger();
    EXPECT_FALSE(m_frame.isVisible());
}

TEST_F(MainWindowTest, AboutShowsOneSplashWindowOnly) {
    EXPECT_EQ(SplashWindow::instance(), nullptr); // not enabled: none at creation
    m_frame.showAbout();
    SplashWindow* first = SplashWindow::instance();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    m_frame.showAbout();
    EXPECT_EQ(SplashWindow::instance(), first);
    EXPECT_EQ(m_frame.findChildren<SplashWindow*>().size(), 1);
    SplashWindow::hideSplash();
    EXPECT_EQ(SplashWindow::instance(), nullptr);
}

} // namespace
