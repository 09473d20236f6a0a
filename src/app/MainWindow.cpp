#include "app/MainWindow.h"

#include "app/LockKeyState.h"
#include "app/SplashWindow.h"
#include "app/StatusPane.h"
#include "app/ToolbarIcons.h"
#include "settings/Settings.h"
#include "tools/VersionChecker.h"
#include "tools/WebLinks.h"
#include "view/LumicutView.h"
#include "view/ViewActions.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include <cstddef>
#include <filesystem>
#include <span>
#include <system_error>

namespace {

// Width of the destination pane and of the result-icon pane, in blanks of the status-bar
// font.
constexpr int kDestinationPaneBlanks = 232;
constexpr int kResultIconPaneBlanks = 6;
constexpr int kLockPollMs = 500;

// True when something other than a folder exists at path (empty path: false).
bool resultFileExists(const std::string& path) {
    if (path.empty())
        return false;
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

// Every occurrence of part removed from text, with exact case; occurrences are found
// left to right in the original text and do not overlap.
std::string removeAll(const std::string& text, const std::string& part) {
    if (part.empty())
        return text;
    std::string result;
    std::size_t from = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, from)) {
        result.append(text, from, at - from);
        from = at + part.size();
    }
    result.append(text, from, std::string::npos);
    return result;
}

} // namespace

MainWindow::MainWindow(Settings& settings, UserPrompts& prompts, QWidget* parent)
    : QMainWindow(parent), m_settings(settings), m_prompts(prompts) {
    setWindowTitle("Lumicut");
    setWindowIcon(programIcon());
    // No toolbar show/hide menu on the frame: the toolbar is always there.
    setContextMenuPolicy(Qt::NoContextMenu);

    createMenus();
    createToolBar();
    createStatusBar();

    if (m_settings.checkVersion() != 0)
        runStartupUpdateCheck();
    SplashWindow::showSplash(this);
}

MainWindow::~MainWindow() = default;

void MainWindow::createToolBar() {
    m_toolBar = addToolBar("Barre d'outils");
    m_toolBar->setObjectName("MainToolBar");
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(kToolbarIconSize, kToolbarIconSize));
    m_toolBar->toggleViewAction()->setVisible(false);
}

void MainWindow::createMenus() {
    for (const MenuLayout& layout : ViewActions::menuLayout())
        m_menus.push_back(menuBar()->addMenu(QString::fromUtf8(layout.title)));
}

void MainWindow::fillMenusAndToolBar(const LumicutView& view) {
    const std::span<const MenuLayout> layouts = ViewActions::menuLayout();
    for (std::size_t i = 0; i < layouts.size(); ++i) {
        for (const LayoutItem& item : layouts[i].items) {
            if (item)
                m_menus[i]->addAction(view.actions().action(*item));
            else
                m_menus[i]->addSeparator();
        }
    }
    for (const LayoutItem& item : ViewActions::toolBarLayout()) {
        if (item)
            m_toolBar->addAction(view.actions().action(*item));
        else
            m_toolBar->addSeparator();
    }
}

void MainWindow::createStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("MainStatusBar");

    // Pane 0: idle text; menu and toolbar prompts are shown over it as status tips.
    m_idlePane = new QLabel(QString::fromUtf8(kIdleText), bar);
    bar->addWidget(m_idlePane, 1);

    m_destinationPane = new StatusPane(kDestinationPaneBlanks, bar);
    m_destinationPane->setObjectName("DestinationPane");
    bar->addPermanentWidget(m_destinationPane);

    m_resultIconPane = new StatusPane(kResultIconPaneBlanks, bar);
    m_resultIconPane->setObjectName("ResultIconPane");
    m_resultIconPane->setAlignment(Qt::AlignCenter);
    bar->addPermanentWidget(m_resultIconPane);

    m_capsPane = new QLabel("MAJ", bar);
    m_numPane = new QLabel("NUM", bar);
    m_scrollPane = new QLabel("DEF", bar);
    for (QLabel* pane : {m_capsPane, m_numPane, m_scrollPane}) {
        pane->setAlignment(Qt::AlignCenter);
        pane->setMinimumWidth(pane->sizeHint().width());
        bar->addPermanentWidget(pane);
    }
    updateLockIndicators();
    if (readLockKeyState(m_ledFolder)) {
        m_lockTimer.setInterval(kLockPollMs);
        connect(&m_lockTimer, &QTimer::timeout, this, &MainWindow::updateLockIndicators);
        m_lockTimer.start();
    }
}

void MainWindow::updateLockIndicators() {
    const std::optional<LockKeyState> state = readLockKeyState(m_ledFolder);
    const auto show = [&state](QLabel* pane, const char* text, bool on) {
        // Unknown state: the indicator stays, dimmed. Known: its text only while locked.
        pane->setEnabled(state.has_value());
        pane->setText(!state || on ? QString(text) : QString());
    };
    show(m_capsPane, "MAJ", state && state->capsLock);
    show(m_numPane, "NUM", state && state->numLock);
    show(m_scrollPane, "DEF", state && state->scrollLock);
}

void MainWindow::setLedFolder(std::string folder) {
    m_ledFolder = std::move(folder);
    updateLockIndicators();
}

void MainWindow::runStartupUpdateCheck() {
    // Runs before the splash window and before the frame is shown, blocking under the wait
    // cursor; silent: only a newer version or a failure is told.
    VersionChecker(m_prompts).checkVersion(siteUrl(SitePage::VersionService), true);
}

void MainWindow::setView(LumicutView* view) {
    setCentralWidget(view);
    m_view = view;
    fillMenusAndToolBar(*view);
    connect(view, &LumicutView::resultStatusChanged, this, &MainWindow::showResultStatus);
}

void MainWindow::showAbout() {
    SplashWindow::enableSplash(true);
    SplashWindow::showSplash(this);
}

void MainWindow::showResultStatus(const std::string& resultPath, bool changed) {
    if (!m_destinationPane)
        return;
    if (m_view && m_view->isResultBeingWritten(resultPath))
        m_resultIcon = ResultIcon::Writing;
    else if (!resultFileExists(resultPath))
        m_resultIcon = ResultIcon::Missing;
    else
        m_resultIcon = changed ? ResultIcon::Changed : ResultIcon::Saved;
    m_resultIconPane->setPixmap(resultIconPixmap(*m_resultIcon));

    std::string shown = resultPath;
    if (m_settings.showFullFileName() == 0)
        shown = removeAll(shown, m_settings.destinationFolder());
    m_destinationPane->setText(QString("Destination : %1").arg(QString::fromStdString(shown)));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_view)
        m_view->finishSaves();
    QMainWindow::closeEvent(event);
}

QString MainWindow::resultStatusText() const {
    return m_destinationPane ? m_destinationPane->text() : QString();
}
