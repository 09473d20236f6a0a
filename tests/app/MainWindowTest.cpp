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
#include <QTest>
#include <QToolBar>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>

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
    std::set<QByteArray> pictures; // every button its own picture
    for (QAction* action : frame.toolBar()->actions()) {
        const QImage image = action->icon().pixmap(16, 16).toImage();
        if (!action->isSeparator())
            pictures.emplace(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
    }
    EXPECT_EQ(pictures.size(), 20u);
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

TEST_F(MainWindowTest, AboutShowsOneSplashWindowCentredForFiveSeconds) {
    frame.setGeometry(100, 80, 900, 700);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    frame.showAbout();
    SplashWindow* first = SplashWindow::instance();
    ASSERT_NE(first, nullptr);
    EXPECT_LE((first->geometry().center() - frame.frameGeometry().center()).manhattanLength(), 2);
    EXPECT_GT(first->remainingLifetimeMs(), 4000);
    EXPECT_LE(first->remainingLifetimeMs(), 5000);
    frame.showAbout();
    EXPECT_EQ(SplashWindow::instance(), first);
    EXPECT_EQ(frame.findChildren<SplashWindow*>().size(), 1);
    SplashWindow::hideSplash();
    SplashWindow::enableSplash(false);
}

} // namespace
