#pragma once

#include "settings/Settings.h"
#include "tools/ToolsApp.h"
#include "widgets/UserPrompts.h"

#include <QTranslator>

#include <memory>
#include <string>

class CAppEventFilter;
class CMainFrame;
class QWidget;

// The application object: owns the settings for the whole run, builds the main frame and
// the view, and filters the event loop (keys of the main window go to the view, the splash
// window takes the first key or click). Command-line arguments are ignored; nothing is
// saved at exit because every setting is written the moment it changes.
class CLumicutApp : public CToolsApp {
    Q_OBJECT

public:
    // paramFileName: "param.dat" in the program; tests give a whole path of their own.
    CLumicutApp(int& argc, char** argv, const std::string& paramFileName = "param.dat");
    ~CLumicutApp() override;

    // The running application, or null when the running one is not a CLumicutApp.
    [[nodiscard]] static CLumicutApp* Instance();

    // Builds and shows the main window. False when it could not be built (the program
    // then ends without a window).
    bool InitInstance();
    // InitInstance, then the event loop; returns the exit code.
    int Run();

    [[nodiscard]] CSettings& Settings() { return m_settings; }
    [[nodiscard]] CMainFrame* MainFrame() const { return m_frame.get(); }

    // The widget that receives every key of the main window (the photo view).
    void SetKeyTarget(QWidget* target);
    [[nodiscard]] QWidget* KeyTarget() const;

private:
    void InstallQtFrenchTexts();
    void InstallMenuSkin();
    void CreateView();

    CSettings m_settings;
    // The message boxes, folder chooser and browser launch of the view.
    DialogPrompts m_prompts;
    QTranslator m_qtTexts;
    std::unique_ptr<CAppEventFilter> m_eventFilter;
    std::unique_ptr<CMainFrame> m_frame;
};
