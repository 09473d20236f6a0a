#pragma once

#include <QIcon>
#include <QString>
#include <vector>

class QWidget;

// One item of the name-tag menu: its text and the tag it appends.
struct NameTagItem {
    QString text;
    QString tag;
};

// Items of the name-tag menu in menu order; withCrop false leaves out "%r - Recadrage".
[[nodiscard]] std::vector<NameTagItem> NameTagItems(bool withCrop);

// Small icon drawn on the buttons that open the tag menu.
[[nodiscard]] QIcon TagMenuIcon();

// Shows the tag menu with its top-left corner at the bottom-left corner of button and
// returns the tag chosen, or an empty text when the menu is dismissed.
[[nodiscard]] QString ChooseNameTag(QWidget* button, bool withCrop);
