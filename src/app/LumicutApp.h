#pragma once

#include "settings/Settings.h"
#include "tools/ToolsApp.h"
#include "widgets/UserPrompts.h"

#include <QTranslator>

#include <memory>
#include <string>

class AppEventFilter;
class LumicutView;
class MainWindow;
class QWidget;

// The application object: owns the settings for the whole run, builds the main frame and
// the view, and filters the event loop (keys of the main window go to the view, the splash
// window takes the first key or click). Command-line arguments are ignored; nothing is
// saved at exit because every setting is written the moment it changes.
class LumicutApp : public ToolsApp {
    Q_OBJECT

public:
    // paramFileName: "param.dat" in the program; tests give a whole path of their own.
    LumicutApp(int& argc, char** argv, const std::string& paramFileName = "param.dat");
    ~LumicutApp() override;

    // The running application, or null when the running one is not a LumicutApp.
    [[nodiscard]] static LumicutApp* instance();

    // Builds and shows the main window. False when it could not be built (the program
    // then ends without a window).
    bool initInstance();
    // InitInstance, then the event loop; returns the exit code.
    int run();

    [[nodiscard]] Settings& settings() { return m_settings; }
    [[nodiscard]] class MainWindow* mainFrame() const { return m_frame.get(); }

    // The widget that receives every key of the main window (the photo view).
    void setKeyTarget(QWidget* target);
    [[nodiscard]] QWidget* keyTarget() const;

private:
    void installQtFrenchTexts();
    void installMenuSkin();
    // The photo view, owned by the main window; its photo list still to be filled.
    LumicutView* createView();

    class Settings m_settings;
    // The message boxes, folder chooser and browser launch of the view.
    DialogPrompts m_prompts;
    QTranslator m_qtTexts;
    std::unique_ptr<AppEventFilter> m_eventFilter;
    std::unique_ptr<MainWindow> m_frame;
};
