#pragma once

#include <QIcon>
#include <QString>
#include <vector>

class QWidget;

// One item of the name-tag menu: its command number, its text and the tag it appends.
struct NameTagItem {
    int command = 0;
    QString text;
    QString tag;
};

// Command of "%r - Recadrage", which the rename tool does not offer.
inline constexpr int CROP_TAG_COMMAND = 32801;

// Items of the name-tag menu in menu order; withCrop false leaves out "%r - Recadrage".
[[nodiscard]] std::vector<NameTagItem> NameTagItems(bool withCrop);

// Small icon drawn on the buttons that open the tag menu.
[[nodiscard]] QIcon TagMenuIcon();

// Shows the tag menu with its top-left corner at the bottom-left corner of button and
// returns the tag chosen, or an empty text when the menu is dismissed.
[[nodiscard]] QString ChooseNameTag(QWidget* button, bool withCrop);
