#include "tools/UserMessage.h"

#include <QMessageBox>

QString AppTitle() {
    return QStringLiteral("Lumicut");
}

bool ShowMessageBox(QWidget* parent, MessageIcon icon, const QString& caption,
                    const QString& text) {
    QMessageBox box(parent);
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
    case MessageIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageIcon::Information:
        box.setIcon(QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageIcon::Question:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    }
    const int answer = box.exec();
    return icon != MessageIcon::Question || answer == QMessageBox::Yes;
}

MessageSink MessageSinkOrDefault(MessageSink sink) {
    if (sink) {
        return sink;
    }
    return &ShowMessageBox;
}
