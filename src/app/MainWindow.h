#pragma once

#include "app/LockKeyState.h"
#include "app/ShellIcons.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <optional>
#include <string>
#include <vector>

class LumicutView;
class Settings;
class UserPrompts;
class StatusPane;
class QLabel;
class QMenu;
class QToolBar;

// The program's only top-level window: menu bar, toolbar, status bar and the photo view
// as its central widget. Menus and toolbar show the view's command actions.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // Idle text of the first status pane.
    static constexpr const char* kIdleText = "Prêt";

    // Builds menus, toolbar and status bar, runs the silent update check when the
    // CHECK_VERSION setting is on, and shows the splash window when it is enabled.
    // prompts: where the update check asks and tells.
    MainWindow(Settings& settings, UserPrompts& prompts, QWidget* parent = nullptr);
    ~MainWindow() override;

    [[nodiscard]] QToolBar* toolBar() const { return m_toolBar; }

    // Puts the photo view in the window (the frame takes it as its child), fills the menu
    // bar and the toolbar with the view's commands and shows the view's result status.
    void setView(LumicutView* view);
    // Puts another widget in the window, with no commands.
    void setView(QWidget* widget) { setCentralWidget(widget); }

    // The About command: the splash window centred over the frame, once.
    void showAbout();

    // Shows where the current photo's result goes (pane 1, "Destination : %s") and the
    // state of that result (pane 2): being written, no file at resultPath, a file and the
    // photo changed since, or a file and the photo unchanged. With SHOWFULLFILENAME off the
    // destination folder is removed from the path.
    void showResultStatus(const std::string& resultPath, bool changed);
    [[nodiscard]] QString resultStatusText() const;
    // Empty until the first ShowResultStatus.
    [[nodiscard]] std::optional<ResultIcon> resultStatusIcon() const { return m_resultIcon; }

    // The folder of keyboard LEDs the lock keys are read from (tests use one of their own);
    // shows the keys' state at once.
    void setLedFolder(std::string folder);

protected:
    // Results still being written are finished first, however the window is closed.
    void closeEvent(QCloseEvent* event) override;

private:
    // The popups of the menu bar are there from the start; their items and the toolbar
    // buttons come with the view.
    void createMenus();
    void createToolBar();
    void fillMenusAndToolBar(const LumicutView& view);
    void createStatusBar();
    void runStartupUpdateCheck();
    void updateLockIndicators();

    Settings& m_settings;
    UserPrompts& m_prompts;
    std::vector<QMenu*> m_menus; // in menu bar order
    QToolBar* m_toolBar = nullptr;
    QLabel* m_idlePane = nullptr;
    StatusPane* m_destinationPane = nullptr;
    StatusPane* m_resultIconPane = nullptr;
    QLabel* m_capsPane = nullptr;
    QLabel* m_numPane = nullptr;
    QLabel* m_scrollPane = nullptr;
    std::string m_ledFolder = kLedFolder;
    QTimer m_lockTimer;
    std::optional<ResultIcon> m_resultIcon;
    QPointer<LumicutView> m_view;
};
