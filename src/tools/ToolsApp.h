#pragma once

#include "tools/MessageRequest.h"
#include "tools/ProgramVersion.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdint>
#include <functional>
#include <string>

class QTranslator;
class QWidget;

// Base of the application object: a QApplication with the small utilities every window of
// the program shares (folder picker, message boxes, version, web pages). The utilities are
// static so that they also work when the running application is a plain QApplication
// (widget tests); the dialogs they open can be replaced by hooks there.
class CToolsApp : public QApplication {
    Q_OBJECT

public:
    CToolsApp(int& argc, char** argv);
    ~CToolsApp() override;

    // Replacements for the modal dialogs, installed by tests. An empty function restores
    // the real dialog.
    using FolderPickerHook =
        std::function<std::string(const std::string& title, const std::string& initialFolder)>;
    using MessageBoxHook = std::function<QMessageBox::StandardButton(const MessageRequest&)>;
    // Replaces the browser launch only; a false answer still brings the message that
    // gives the address.
    using UrlOpenerHook = std::function<bool(const std::string& url)>;
    static void SetFolderPickerHook(FolderPickerHook hook);
    static void SetMessageBoxHook(MessageBoxHook hook);
    static void SetUrlOpenerHook(UrlOpenerHook hook);

    // The program's main window. When none was set, the active QMainWindow, else the first
    // visible one, else none.
    static void SetMainWindow(QWidget* window);
    [[nodiscard]] static QWidget* MainWindow();
    // The window dialogs and message boxes are centred on and kept above: the program's
    // active window (the full-screen picture, a dialog), else the main window. A box under
    // a window that stays on top would be out of sight and still take all the input.
    [[nodiscard]] static QWidget* DialogParent();

    // Installs the French texts of Qt's own dialogs and buttons (qtbase_fr, into texts) and
    // makes French (France) the default locale, for dates and numbers in those dialogs.
    // False when the translation could not be loaded (the locale is set all the same).
    static bool InstallFrench(QTranslator& texts);

    // Lets the user pick a folder, starting at initialFolder when it exists (else the
    // Pictures folder, else home; see FolderChooserStart); the result is a UTF-8 path ending
    // with '/', or empty when the user cancels.
    [[nodiscard]] static std::string BrowseForFolder(const std::string& title,
                                                     const std::string& initialFolder);

    // Application-modal message box over the main window; returns the button chosen.
    static QMessageBox::StandardButton MessageBox(const MessageRequest& request);
    // Warning with the exclamation icon and an OK button.
    static void ShowWarning(const QString& text, const QString& caption = "Attention!!!");
    // Yes/No question with the question icon; Yes is the default (Enter answers Yes).
    [[nodiscard]] static bool AskYesNo(const QString& text, const QString& caption = "Lumicut");

    [[nodiscard]] static ProgramVersion GetProgramVersion();
    // Packed form: major.minor and patch.tweak words. Always succeeds (compiled in).
    static bool GetProgramVersion(uint32_t& mostSignificant, uint32_t& leastSignificant);

    // Opens a web address in the user's browser. When nothing could open it, a warning
    // gives the address as selectable text (to copy into a browser) and the result is false.
    static bool OpenUrl(const std::string& url);
    // The warning shown when address could not be opened.
    [[nodiscard]] static QString UrlNotOpenedText(const QString& address);
};
