#pragma once

#include <QMessageBox>
#include <QString>
#include <string>

#include "tools/MessageRequest.h"

// Everything the program asks or tells the user in a modal box, and the browser launch.
// The running program passes one DialogPrompts to whoever needs it; tests pass a double.
class UserPrompts {
public:
    virtual ~UserPrompts() = default;

    // Application-modal box with an OK button, the icon given and the exact caption.
    virtual void tell(const QString& text, const QString& caption, QMessageBox::Icon icon) = 0;
    // The same with the exclamation icon.
    void warn(const QString& text, const QString& caption) {
        tell(text, caption, QMessageBox::Warning);
    }
    // Yes/No question with the question icon; Yes is the default. True for Yes.
    virtual bool askYesNo(const QString& text, const QString& caption) = 0;
    // Lets the user pick a folder, starting at start when it names an existing folder (else
    // the Pictures folder, else home); the folder as a UTF-8 path ending with '/', or empty
    // when the user cancels.
    virtual std::string chooseFolder(const QString& title, const std::string& start) = 0;
    // Opens a web address in the user's browser. When nothing could open it, a warning
    // gives the address as selectable text and the result is false.
    virtual bool openAddress(const QString& url) = 0;
};

// The real boxes, over the program's active window (ToolsApp::DialogParent). The three
// modal primitives are virtual so that a test double answers them by script while the
// rules around them (buttons, default answer, start folder, trailing '/', the address
// shown when no browser starts) stay the program's own.
class DialogPrompts : public UserPrompts {
public:
    void tell(const QString& text, const QString& caption, QMessageBox::Icon icon) override;
    bool askYesNo(const QString& text, const QString& caption) override;
    std::string chooseFolder(const QString& title, const std::string& start) override;
    bool openAddress(const QString& url) override;

    // Application-modal message box; returns the button chosen.
    virtual QMessageBox::StandardButton showBox(const MessageRequest& request);

protected:
    // The folder chooser opened at startFolder; the folder chosen or empty.
    virtual std::string pickFolder(const QString& title, const std::string& startFolder);
    // Starts the browser; false when nothing could open the address.
    virtual bool launchBrowser(const QString& url);
};
