#include "tools/UserMessage.h"

#include "tools/MessageRequest.h"
#include "tools/ToolsApp.h"

QString AppTitle() {
    return QStringLiteral("Lumicut");
}

bool ShowMessageBox(QWidget* /*parent*/, MessageIcon icon, const QString& caption,
                    const QString& text) {
    MessageRequest request{text, caption, QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::Ok};
    switch (icon) {
    case MessageIcon::None:
        break;
    case MessageIcon::Information:
        request.icon = QMessageBox::Information;
        break;
    case MessageIcon::Warning:
        request.icon = QMessageBox::Warning;
        break;
    case MessageIcon::Question:
        request.icon = QMessageBox::Question;
        request.buttons = QMessageBox::Yes | QMessageBox::No;
        request.defaultButton = QMessageBox::Yes;
        break;
    }
    const QMessageBox::StandardButton answer = CToolsApp::MessageBox(request);
    return icon != MessageIcon::Question || answer == QMessageBox::Yes;
}

MessageSink MessageSinkOrDefault(MessageSink sink) {
    if (sink) {
        return sink;
    }
    return &ShowMessageBox;
}
