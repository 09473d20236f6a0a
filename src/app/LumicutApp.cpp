#include "app/LumicutApp.h"

#include "app/AppEventFilter.h"
#include "app/MainFrame.h"
#include "app/ShellIcons.h"
#include "app/SplashWindow.h"

#include <QLibraryInfo>
#include <QScreen>
#include <QWidget>

CLumicutApp::CLumicutApp(int& argc, char** argv, const std::string& paramFileName)
    : CToolsApp(argc, argv), m_settings(paramFileName) {
    // The settings were read when constructed; reading once more changes nothing but is
    // the program's long-standing start-up sequence.
    m_settings.LoadAll();
    setWindowIcon(ProgramIcon());
    InstallQtFrenchTexts();
}

CLumicutApp::~CLumicutApp() {
    // The frame and the view go before the application object's own teardown.
    if (m_eventFilter)
        removeEventFilter(m_eventFilter.get());
    m_frame.reset();
}

CLumicutApp* CLumicutApp::Instance() {
    return qobject_cast<CLumicutApp*>(instance());
}

void CLumicutApp::InstallQtFrenchTexts() {
    // Qt's own buttons read "Oui", "Non", "Annuler" whatever the user's locale, as the
    // rest of the program is French.
    if (m_qtTexts.load("qtbase_fr", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&m_qtTexts);
}

void CLumicutApp::InstallMenuSkin() {
    // Hook point of the menu skin: its QProxyStyle is installed here with setStyle(),
    // before any window exists, so that the frame's menus and toolbar are drawn by it.
}

bool CLumicutApp::InitInstance() {
    InstallMenuSkin();
    CSplashWindow::EnableSplash(true);

    // The frame builds toolbar and status bar, runs the silent update check when asked
    // to and shows the splash window.
    m_frame = std::make_unique<CMainFrame>(m_settings);
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
    // Hook point of the photo view: it becomes the frame's central widget and the key
    // target, then its initial update fills the photo list from the working folder.
    auto* view = new QWidget(m_frame.get()); // owned by the frame
    view->setFocusPolicy(Qt::StrongFocus);
    m_frame->SetView(view);
    SetKeyTarget(view);
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
