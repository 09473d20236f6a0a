#include "app/MainWindow.h"
#include "app/ShellIcons.h"
#include "app/SplashWindow.h"
#include "settings/Settings.h"
#include "ui_support/ScriptedPrompts.h"
#include "view/LumicutView.h"
#include "view/ViewActions.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QToolBar>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

struct MainWindowTest : ::testing::Test {
    QTemporaryDir dir;
    std::string root = dir.path().toStdString() + "/";
    Settings settings{root + "param.dat"};
    ScriptedPrompts prompts;
    MainWindow frame{settings, prompts};
};

// The actions shown, null for a separator; or those a layout asks for.
std::vector<QAction*> shown(const QList<QAction*>& actions) {
    std::vector<QAction*> shown;
    for (QAction* action : actions)
        shown.push_back(action->isSeparator() ? nullptr : action);
    return shown;
}
std::vector<QAction*> wanted(const LumicutView& view, std::span<const LayoutItem> layout) {
    std::vector<QAction*> actions;
    for (const LayoutItem& item : layout)
        actions.push_back(item ? view.actions().action(*item) : nullptr);
    return actions;
}

TEST_F(MainWindowTest, MenusAndToolbarShowTheViewsActionsWithoutKeysOfTheirOwn) {
    auto* view = new LumicutView(settings, prompts, &frame);
    frame.setView(view);
    const std::span<const MenuLayout> layout = ViewActions::menuLayout();
    const QList<QAction*> popups = frame.menuBar()->actions();
    ASSERT_EQ(popups.size(), static_cast<qsizetype>(layout.size()));
    for (std::size_t i = 0; i < layout.size(); ++i) {
        EXPECT_EQ(popups[i]->text(), QString::fromUtf8(layout[i].title));
        EXPECT_EQ(shown(popups[i]->menu()->actions()), wanted(*view, layout[i].items));
        for (QAction* action : popups[i]->menu()->actions())
            EXPECT_TRUE(action->shortcut().isEmpty()) << "the view maps every key itself";
    }
    EXPECT_EQ(shown(frame.toolBar()->actions()), wanted(*view, ViewActions::toolBarLayout()));
    EXPECT_FALSE(frame.toolBar()->isMovable());

    // The folder picture leaves its bottom-left corner to the toolbar's own background.
    QAction* folder = view->actions().action(Command::WorkingFolder);
    const QImage button = frame.toolBar()->widgetForAction(folder)->grab().toImage();
    const QRect picture =
        QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, QSize(16, 16), button.rect());
    const QColor background = button.pixelColor(picture.left() - 1, picture.bottom());
    EXPECT_EQ(button.pixelColor(picture.left(), picture.bottom()), background);
    EXPECT_NE(button.pixelColor(picture.center()), background);
}

TEST_F(MainWindowTest, StatusBarShowsTheResultAndTheLockIndicators) {
    QStringList texts;
    for (const QLabel* label : frame.statusBar()->findChildren<QLabel*>())
        texts << label->text();
    for (const char* text : {"Prêt", "MAJ", "NUM", "DEF"})
        EXPECT_TRUE(texts.contains(text)) << text;

    const std::string out = root + "out/";
    std::filesystem::create_directories(out);
    std::ofstream(out + "P_000.jpg") << "x";
    // clang-format off
    const std::tuple<int, std::string, std::string, bool, std::string, ResultIcon> rows[] = {
        {1, out, out + "P_000.jpg", false, out + "P_000.jpg", ResultIcon::Saved},
        {0, out, out + "P_000.jpg", true, "P_000.jpg", ResultIcon::Changed},
        {0, "/x/", "/x/y/x/z.jpg", false, "yz.jpg", ResultIcon::Missing},
        {1, out, out, false, out, ResultIcon::Missing}, // a folder is not a result
    };
    // clang-format on
    auto* iconPane = frame.findChild<QLabel*>("ResultIconPane");
    for (const auto& [fullName, destination, path, changed, text, icon] : rows) {
        SCOPED_TRACE(path);
        settings.setShowFullFileName(fullName);
        settings.setDestinationFolder(destination);
        frame.showResultStatus(path, changed);
        EXPECT_EQ(frame.resultStatusText().toStdString(), "Destination : " + text);
        EXPECT_EQ(frame.resultStatusIcon(), icon);
        EXPECT_EQ(iconPane->pixmap().toImage(), resultIconPixmap(icon).toImage());
    }
}

TEST_F(MainWindowTest, AboutShowsOneSplashWindow) {
    frame.showAbout();
    SplashWindow* first = SplashWindow::instance();
    ASSERT_NE(first, nullptr);
    frame.showAbout();
    EXPECT_EQ(SplashWindow::instance(), first);
    EXPECT_EQ(frame.findChildren<SplashWindow*>().size(), 1);
    SplashWindow::hideSplash();
    SplashWindow::enableSplash(false);
}

} // namespace
