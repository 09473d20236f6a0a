#pragma once

#include <QPoint>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "engine/ViewKeys.h"

class CPictureWnd;
class PhotoDocument;
class UserPrompts;
class CSettings;
class CSidePanelDlg;
class ViewActions;

// The first steps shown over the empty photo area while no working folder is set, naming
// the two folder commands as the menu shows them.
[[nodiscard]] QString FirstStepsHint();

// The main window's client: the side panel on the left fifth and the photo display on the
// rest. Every key of the main window, every command and every mouse gesture over the photo
// arrives here and becomes calls on those two; the view draws nothing itself.
class CLumicutView : public QWidget {
    Q_OBJECT

public:
    // Commands whose dialogs live elsewhere (preferences, rename tool, update check, web
    // pages, about). An unset hook makes the command do nothing.
    struct DialogHooks {
        std::function<void()> preferences;  // runs the preferences sheet modally
        std::function<void()> renamePhotos; // runs the rename tool modally
        std::function<void()> checkUpdates; // explicit update check
        std::function<void()> onlineHelp;
        std::function<void()> forum;
        std::function<void()> about;
    };

    // Every question and warning of the view and of its document goes to prompts.
    CLumicutView(CSettings& settings, UserPrompts& prompts, QWidget* parent = nullptr);
    ~CLumicutView() override;

    void SetDialogHooks(DialogHooks value) { hooks = std::move(value); }

    // Initial update: fills the photo list from the working folder and loads the first photo;
    // without a working folder, the photo area shows the first steps instead.
    void OnInitialUpdate();

    // The view's commands, for the menu bar and the toolbar.
    [[nodiscard]] ViewActions& actions() const { return *commandActions; }
    [[nodiscard]] CSidePanelDlg& SidePanel() { return *sidePanel; }
    [[nodiscard]] CPictureWnd& Display() { return *display; }
    [[nodiscard]] PhotoDocument& Document() { return *document; }
    [[nodiscard]] int CurrentKeyStep() const { return keyStep.Value(); }

signals:
    // Where the current photo's result goes and whether the photo changed since it was
    // saved; for the status bar.
    void resultStatusChanged(const std::string& resultPath, bool changed);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // The command table runs the operations below.
    friend class ViewActions;

    void LayoutChildren();
    void HandleKey(int qtKey, Qt::KeyboardModifiers modifiers);
    void RunKeyAction(KeyAction action, bool shift);
    void Validate(bool shift);
    void DeleteResult();
    void Transform(void (PhotoDocument::*operation)());
    void Zoom(int amount);
    void TurnFrame();
    void ToggleWhiteBorder();
    void ToggleIdSheet();
    void ToggleThirds();
    void ToggleFullScreen();
    void ChooseWorkingFolder();
    void UpdateFirstStepsHint();
    void ChooseDestinationFolder();
    void RunPreferences();
    void RunRename();
    void ShowResultStatus(const std::string& path, bool changed);
    // Takes the result index (telling the user when no destination is set) and shows the
    // result path in the status bar.
    void ShowCurrentResultStatus(bool changed);
    static void RunHook(const std::function<void()>& hook);

    CSettings& settings;
    UserPrompts& prompts;
    // The photo being cropped; the panel and the display show it. It outlives both (they
    // are deleted first by the destructor).
    std::unique_ptr<PhotoDocument> document;
    // Children of this widget (Qt parent); the panel is built before the display, the
    // actions last.
    CSidePanelDlg* sidePanel = nullptr;
    CPictureWnd* display = nullptr;
    ViewActions* commandActions = nullptr;
    DialogHooks hooks;

    KeyStep keyStep;
    // Anchors of the drags, view client pixels; (0, 0) means no drag.
    QPoint leftAnchor;
    QPoint rightAnchor;
};
