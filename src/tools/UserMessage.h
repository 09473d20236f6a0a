#pragma once

#include <QString>
#include <functional>

class QWidget;

enum class MessageIcon { None, Information, Warning, Question };

// Shows one message to the user. Question boxes offer Yes/No (Yes is the default) and
// return true for Yes; the others have an OK button and return true.
using MessageSink = std::function<bool(QWidget* parent, MessageIcon icon, const QString& caption,
                                       const QString& text)>;

// Caption of the program's own message boxes.
[[nodiscard]] QString AppTitle();

// The program's message box (CToolsApp::MessageBox): application-modal over the main
// window, exact caption and icon.
bool ShowMessageBox(QWidget* parent, MessageIcon icon, const QString& caption, const QString& text);

// sink when set, else the real message box.
[[nodiscard]] MessageSink MessageSinkOrDefault(MessageSink sink);
