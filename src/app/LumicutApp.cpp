#include "app/LumicutApp.h"

#include "app/AppEventFilter.h"
#include "app/MainWindow.h"
#include "app/ShellIcons.h"
#include "app/SplashWindow.h"
#include "panel/SidePanel.h"
#include "prefs/PreferencesDialog.h"
#include "skin/MenuSkin.h"
#include "tools/RenameDialog.h"
#include "tools/VersionChecker.h"
#include "tools/WebLinks.h"
#include "view/LumicutView.h"

#include <QScreen>
#include <QWidget>

LumicutApp::LumicutApp(int& argc, char** argv, const std::string& paramFileName)
    : ToolsApp(argc, argv), m_settings(paramFileName) {
    setWindowIcon(programIcon());
    installQtFrenchTexts();
}

LumicutApp::~LumicutApp() {
    // The frame and the view go before the application object's own teardown.
    if (m_eventFilter)
        removeEventFilter(m_eventFilter.get());
    m_frame.reset();
    MenuSkin::uninstall(*this);
}

LumicutApp* LumicutApp::instance() {
    return qobject_cast<LumicutApp*>(QCoreApplication::instance());
}

void LumicutApp::installQtFrenchTexts() {
    // Qt's own dialogs and buttons speak French whatever the user's locale, as the rest of
    // the program does. Without the translation file they stay in English; nothing to tell.
    installFrench(m_qtTexts);
}

void LumicutApp::installMenuSkin() {
    // Before any window exists, so that the frame's menus are drawn by the skin.
    MenuSkin::install(*this);
}

bool LumicutApp::initInstance() {
    installMenuSkin();
    SplashWindow::enableSplash(true);

    // The frame builds toolbar and status bar, runs the silent update check when asked
    // to and shows the splash window.
    m_frame = std::make_unique<MainWindow>(m_settings, m_prompts);
    setMainWindow(m_frame.get());
    m_eventFilter = std::make_unique<AppEventFilter>(m_frame.get());
    installEventFilter(m_eventFilter.get());

    LumicutView* view = createView();

    m_frame->setWindowTitle("Lumicut");
    // The normal geometry covers the screen too, for desktops whose window manager does
    // not maximize (or where there is none).
    if (QScreen* screen = m_frame->screen())
        m_frame->setGeometry(screen->availableGeometry());
    m_frame->showMaximized();
    // The splash was shown before the frame; keep it above the frame.
    if (SplashWindow* splash = SplashWindow::instance())
        splash->raise();
    m_frame->repaint();
    // The working folder has been read on a worker thread meanwhile; a large one may not be
    // finished yet, and the window is already there.
    view->onInitialUpdate();
    return true;
}

LumicutView* LumicutApp::createView() {
    // The photo view becomes the frame's central widget and the key target; the working
    // folder is read ahead while the window is shown.
    class MainWindow* frame = m_frame.get();
    auto* view = new LumicutView(m_settings, m_prompts, frame); // owned by frame
    Settings& settings = m_settings;
    view->setDialogHooks({
        .preferences =
            [this, &settings, frame] {
                PreferencesDialog sheet("Préférences", settings, m_prompts, frame);
                sheet.exec();
            },
        .renamePhotos =
            [this, &settings, frame] {
                RenameDialog dialog(settings, m_prompts, frame);
                dialog.exec();
            },
        .checkUpdates =
            [this] {
                VersionChecker(m_prompts).checkVersion(siteUrl(SitePage::VersionService), false);
            },
        .onlineHelp = [this] { m_prompts.openAddress(siteUrl(SitePage::Help)); },
        .forum = [this] { m_prompts.openAddress(siteUrl(SitePage::Forum)); },
        .about = [frame] { frame->showAbout(); },
    });
    m_frame->setView(view);
    setKeyTarget(view);
    view->sidePanel().scanPictureListAhead();
    view->setFocus();
    return view;
}

int LumicutApp::run() {
    if (!initInstance())
        return 0;
    return exec();
}

void LumicutApp::setKeyTarget(QWidget* target) {
    if (m_eventFilter)
        m_eventFilter->setKeyTarget(target);
}

QWidget* LumicutApp::keyTarget() const {
    return m_eventFilter ? m_eventFilter->keyTarget() : nullptr;
}
