#pragma once

#include <QPushButton>
#include <QString>
#include <vector>

// One item of the name-tag menu: its text and the tag it appends.
struct NameTagItem {
    QString text;
    QString tag;
};

// Items of the name-tag menu in menu order; withCrop false leaves out "%r - Recadrage".
[[nodiscard]] std::vector<NameTagItem> nameTagItems(bool withCrop);

// Small icon button beside a name mask field: a click opens the name-tag menu with its
// top-left corner at the button's bottom-left corner. It never acts as the dialog's
// default button.
class TagButton : public QPushButton {
    Q_OBJECT
public:
    explicit TagButton(bool withCrop, QWidget* parent = nullptr);

signals:
    // The tag of the item chosen; not emitted when the menu is dismissed.
    void tagChosen(const QString& tag);

private:
    void chooseTag();

    bool m_withCrop;
};
