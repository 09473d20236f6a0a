#pragma once

#include "app/CommandId.h"
#include "app/ShellIcons.h"

#include <QMainWindow>
#include <QString>
#include <QTimer>

#include <functional>
#include <map>
#include <optional>
#include <string>

class CSettings;
class CStatusPane;
class QAction;
class QLabel;
class QToolBar;

// The program's only top-level window: menu bar, toolbar, status bar and the photo view
// as its central widget. It owns one QAction per command; the view connects to them.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    // Idle text of the first status pane.
    static constexpr const char* kIdleText = "Prêt";

    // Builds menus, toolbar and status bar, runs the silent update check when the
    // CHECK_VERSION setting is on, and shows the splash window when it is enabled.
    explicit CMainFrame(CSettings& settings, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The action of a command, or null for a number that is not a command.
    [[nodiscard]] QAction* Action(CommandId id) const;
    [[nodiscard]] QAction* Action(int commandId) const;

    [[nodiscard]] QToolBar* ToolBar() const { return m_toolBar; }

    // Puts the photo view in the window (the frame takes it as its child).
    void SetView(QWidget* view);

    // Shows where the current photo's result goes (pane 1, "Destination : %s") and the
    // state of that result (pane 2): no file at resultPath, a file and the photo changed
    // since, or a file and the photo unchanged. With SHOWFULLFILENAME off the destination
    // folder is removed from the path.
    void ShowResultStatus(const std::string& resultPath, bool changed);
    [[nodiscard]] QString ResultStatusText() const;
    // Empty until the first ShowResultStatus.
    [[nodiscard]] std::optional<ResultIcon> ResultStatusIcon() const { return m_resultIcon; }

    // Check marks of checkable commands follow these queries; they are asked again when
    // a menu opens and after any command ran.
    void SetCheckSource(CommandId id, std::function<bool()> isChecked);
    void UpdateCheckMarks();

signals:
    // Any command chosen from the menu or toolbar (also About and Quit, which the frame
    // handles itself).
    void CommandTriggered(int commandId);

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void RunStartupUpdateCheck();
    void UpdateLockIndicators();

    CSettings& m_settings;
    std::map<int, QAction*> m_actions;
    std::map<int, std::function<bool()>> m_checkSources;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_idlePane = nullptr;
    CStatusPane* m_destinationPane = nullptr;
    CStatusPane* m_resultIconPane = nullptr;
    QLabel* m_capsPane = nullptr;
    QLabel* m_numPane = nullptr;
    QLabel* m_scrollPane = nullptr;
    QTimer m_lockTimer;
    std::optional<ResultIcon> m_resultIcon;
};
