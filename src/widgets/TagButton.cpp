#include "widgets/TagButton.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QWidget>

std::vector<NameTagItem> nameTagItems(bool withCrop) {
    std::vector<NameTagItem> items = {
        {QStringLiteral("%i - Index unique"), QStringLiteral("%i")},
        {QStringLiteral("%f - Nom du fichier origine"), QStringLiteral("%f")},
        {QStringLiteral("%dj - Date du jour format yyyymmdd"), QStringLiteral("%dj")},
        {QStringLiteral("%dc - Date du cliché format yyyymmdd"), QStringLiteral("%dc")},
        {QStringLiteral("%sr - Nom du sous répertoire de la photo d'origine"),
         QStringLiteral("%sr")},
    };
    // The rename tool has no crop frame to name, so it does not offer "%r".
    if (withCrop) {
        items.push_back({QStringLiteral("%r - Recadrage"), QStringLiteral("%r")});
    }
    return items;
}

namespace {

// 16 x 16 display pixels: three text lines and a small arrow pointing down.
QIcon tagMenuIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QPen(QColor(40, 40, 90), 1));
    painter.drawLine(2, 3, 9, 3);
    painter.drawLine(2, 7, 9, 7);
    painter.drawLine(2, 11, 9, 11);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 100));
    painter.drawPolygon(QPolygon({QPoint(10, 6), QPoint(15, 6), QPoint(12, 10)}));
    painter.end();
    return QIcon(pixmap);
}

// The tag chosen from the menu shown below button, or an empty text when it is dismissed.
QString chooseNameTag(QWidget* button, bool withCrop) {
    QMenu menu(button);
    for (const NameTagItem& item : nameTagItems(withCrop)) {
        QAction* action = menu.addAction(item.text);
        action->setData(item.tag);
    }
    const QAction* chosen = nullptr;
    QObject::connect(&menu, &QMenu::triggered, &menu,
                     [&chosen](QAction* action) { chosen = action; });
    const QPoint corner = button->mapToGlobal(QPoint(0, button->height()));
    if (const QAction* picked = menu.exec(corner)) {
        chosen = picked;
    }
    return chosen ? chosen->data().toString() : QString();
}

} // namespace

TagButton::TagButton(bool withCrop, QWidget* parent) : QPushButton(parent), m_withCrop(withCrop) {
    setIcon(tagMenuIcon());
    setToolTip(QStringLiteral("..."));
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, &TagButton::chooseTag);
}

void TagButton::chooseTag() {
    const QString tag = chooseNameTag(this, m_withCrop);
    if (!tag.isEmpty()) {
        emit tagChosen(tag);
    }
}
