#pragma once

#include <QPoint>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "engine/ViewKeys.h"

class PhotoView;
class PhotoDocument;
class PhotoPrefetch;
class SaveQueue;
class UserPrompts;
class Settings;
class SidePanel;
class ViewActions;

// The first steps shown over the empty photo area while no working folder is set, naming
// the two folder commands as the menu shows them.
[[nodiscard]] QString firstStepsHint();

// The main window's client: the side panel on the left fifth and the photo display on the
// rest. Every key of the main window, every command and every mouse gesture over the photo
// arrives here and becomes calls on those two; the view draws nothing itself.
class LumicutView : public QWidget {
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
    LumicutView(Settings& settings, UserPrompts& prompts, QWidget* parent = nullptr);
    ~LumicutView() override;

    void setDialogHooks(DialogHooks value) { m_hooks = std::move(value); }

    // Initial update: fills the photo list from the working folder and loads the first photo;
    // without a working folder, the photo area shows the first steps instead.
    void onInitialUpdate();

    // The view's commands, for the menu bar and the toolbar.
    [[nodiscard]] ViewActions& actions() const { return *m_commandActions; }
    [[nodiscard]] SidePanel& sidePanel() { return *m_sidePanel; }
    [[nodiscard]] PhotoView& display() { return *m_display; }
    [[nodiscard]] PhotoDocument& document() { return *m_document; }
    [[nodiscard]] PhotoPrefetch& prefetch() { return *m_prefetch; }
    [[nodiscard]] int currentKeyStep() const { return m_keyStep.value(); }

    // Whether the result at path is queued for writing or being written.
    [[nodiscard]] bool isResultBeingWritten(const std::string& path) const;
    // Waits until every queued result is written (a small progress window comes up when
    // that takes over half a second) and tells what failed. Before quitting, and before
    // anything else is asked or told, so that messages keep the order of the actions.
    void finishSaves();

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

    void layoutChildren();
    void handleKey(int qtKey, Qt::KeyboardModifiers modifiers);
    void runKeyAction(KeyAction action, bool shift);
    void validate(bool shift);
    void deleteResult();
    void transform(void (PhotoDocument::*operation)());
    void zoom(int amount);
    void turnFrame();
    void toggleWhiteBorder();
    void toggleIdSheet();
    void toggleThirds();
    void toggleFullScreen();
    void chooseWorkingFolder();
    void updateFirstStepsHint();
    void chooseDestinationFolder();
    void runPreferences();
    void runRename();
    void showResultStatus(const std::string& path, bool changed);
    // A queued result was written or failed: the status bar shows it if it is the current
    // photo's.
    void onSaveFinished(const QString& path);
    // The prompts, once the results queued before have been written and told about.
    UserPrompts& prompts();
    // Takes the result index (telling the user when no destination is set) and shows the
    // result path in the status bar.
    void showCurrentResultStatus(bool changed);
    // Runs a dialog hook once the results queued before are written (see finishSaves).
    void runHook(const std::function<void()>& hook);

    Settings& m_settings;
    UserPrompts& m_prompts;
    // Worker threads of the document: results written in the background, the photos beside
    // the current one decoded ahead. They outlive the document.
    std::unique_ptr<SaveQueue> m_saveQueue;
    std::unique_ptr<PhotoPrefetch> m_prefetch;
    // The photo being cropped; the panel and the display show it. It outlives both (they
    // are deleted first by the destructor).
    std::unique_ptr<PhotoDocument> m_document;
    // Children of this widget (Qt parent); the panel is built before the display, the
    // actions last.
    class SidePanel* m_sidePanel = nullptr;
    PhotoView* m_display = nullptr;
    ViewActions* m_commandActions = nullptr;
    DialogHooks m_hooks;

    KeyStep m_keyStep;
    // What the status bar shows last, to show it again once its result is written.
    std::string m_statusPath;
    bool m_statusChanged = false;
    // Anchors of the drags, view client pixels; (0, 0) means no drag.
    QPoint m_leftAnchor;
    QPoint m_rightAnchor;
};
