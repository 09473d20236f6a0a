#pragma once

#include <QMessageBox>
#include <QString>

// One message box as the program asks for it: exact French text and caption, icon,
// buttons (DialogPrompts::showBox). Test doubles record these instead of showing a box.
struct MessageRequest {
    QString text;
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    // The text can be selected with the mouse and copied (an address to paste elsewhere).
    bool selectableText = false;
};
