#include "app/LumicutApp.h"

#include "app/AppEventFilter.h"
#include "app/MainFrame.h"
#include "app/ShellIcons.h"
#include "app/SplashWindow.h"
#include "prefs/PropSheetEx.h"
#include "skin/MenuSkin.h"
#include "tools/RenameDlg.h"
#include "tools/VersionChecker.h"
#include "tools/WebLinks.h"
#include "view/LumicutView.h"

#include <QScreen>
#include <QWidget>

CLumicutApp::CLumicutApp(int& argc, char** argv, const std::string& paramFileName)
    : CToolsApp(argc, argv), m_settings(paramFileName) {
    setWindowIcon(ProgramIcon());
    InstallQtFrenchTexts();
}

CLumicutApp::~CLumicutApp() {
    // The frame and the view go before the application object's own teardown.
    if (m_eventFilter)
        removeEventFilter(m_eventFilter.get());
    m_frame.reset();
    CMenuSkin::Uninstall(*this);
}

CLumicutApp* CLumicutApp::Instance() {
    return qobject_cast<CLumicutApp*>(instance());
}

void CLumicutApp::InstallQtFrenchTexts() {
    // Qt's own dialogs and buttons speak French whatever the user's locale, as the rest of
    // the program does. Without the translation file they stay in English; nothing to tell.
    InstallFrench(m_qtTexts);
}

void CLumicutApp::InstallMenuSkin() {
    // Before any window exists, so that the frame's menus are drawn by the skin.
    CMenuSkin::Install(*this);
}

bool CLumicutApp::InitInstance() {
    InstallMenuSkin();
    CSplashWindow::EnableSplash(true);

    // The frame builds toolbar and status bar, runs the silent update check when asked
    // to and shows the splash window.
    m_frame = std::make_unique<CMainFrame>(m_settings, m_prompts);
    SetMainWindow(m_frame.get());
    m_eventFilter = std::make_unique<CAppEventFilter>(m_frame.get());
    installEventFilter(m_eventFilter.get());

    CreateView();

    m_frame->setWindowTitle("Lumicut");
    // The normal geometry covers the screen too, for desktops whose window manager does
    // not maximize (or where there is none).
    if (QScreen* screen = m_frame->screen())
        m_frame->setGeometry(screen->availableGeometry());
    m_frame->showMaximized();
    // The splash was shown before the frame; keep it above the frame.
    if (CSplashWindow* splash = CSplashWindow::Instance())
        splash->raise();
    m_frame->repaint();
    return true;
}

void CLumicutApp::CreateView() {
    // The photo view becomes the frame's central widget and the key target, then its
    // initial update fills the photo list from the working folder.
    CMainFrame* frame = m_frame.get();
    auto* view = new CLumicutView(m_settings, m_prompts, frame); // owned by frame
    CSettings& settings = m_settings;
    view->SetDialogHooks({
        .preferences =
            [this, &settings, frame] {
                CPropSheetEx sheet("Préférences", settings, m_prompts, frame);
                sheet.exec();
            },
        .renamePhotos =
            [this, &settings, frame] {
                CRenameDlg dialog(settings, m_prompts, frame);
                dialog.exec();
            },
        .checkUpdates =
            [this] {
                CVersionChecker(m_prompts).CheckVersion(SiteUrl(SitePage::VersionService), false);
            },
        .onlineHelp = [this] { m_prompts.openAddress(SiteUrl(SitePage::Help)); },
        .forum = [this] { m_prompts.openAddress(SiteUrl(SitePage::Forum)); },
        .about = [frame] { frame->ShowAbout(); },
    });
    m_frame->SetView(view);
    SetKeyTarget(view);
    view->OnInitialUpdate();
    view->setFocus();
}

int CLumicutApp::Run() {
    if (!InitInstance())
        return 0;
    return exec();
}

void CLumicutApp::SetKeyTarget(QWidget* target) {
    if (m_eventFilter)
        m_eventFilter->SetKeyTarget(target);
}

QWidget* CLumicutApp::KeyTarget() const {
    return m_eventFilter ? m_eventFilter->KeyTarget() : nullptr;
}
