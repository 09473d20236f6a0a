#pragma once

#include "tools/ProgramVersion.h"

#include <QApplication>
#include <QString>

#include <cstdint>

class QTranslator;
class QWidget;

// Base of the application object: a QApplication with the small utilities every window of
// the program shares (the window dialogs go over, French texts, version). The utilities
// are static so that they also work when the running application is a plain QApplication
// (widget tests). Message boxes, the folder chooser and web pages go through UserPrompts.
class ToolsApp : public QApplication {
    Q_OBJECT

public:
    ToolsApp(int& argc, char** argv);
    ~ToolsApp() override;

    // The program's main window. When none was set, the active QMainWindow, else the first
    // visible one, else none.
    static void setMainWindow(QWidget* window);
    [[nodiscard]] static QWidget* mainWindow();
    // The window dialogs and message boxes are centred on and kept above: the program's
    // active window (the full-screen picture, a dialog), else the main window. A box under
    // a window that stays on top would be out of sight and still take all the input.
    [[nodiscard]] static QWidget* dialogParent();

    // Installs the French texts of Qt's own dialogs and buttons (qtbase_fr, into texts) and
    // makes French (France) the default locale, for dates and numbers in those dialogs.
    // False when the translation could not be loaded (the locale is set all the same).
    static bool installFrench(QTranslator& texts);

    [[nodiscard]] static ProgramVersion programVersion();
    // Packed form: major.minor and patch.tweak words. Always succeeds (compiled in).
    static bool programVersion(uint32_t& mostSignificant, uint32_t& leastSignificant);

    // The warning shown when address could not be opened.
    [[nodiscard]] static QString urlNotOpenedText(const QString& address);
};
