#include "tools/TagMenu.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QWidget>

std::vector<NameTagItem> NameTagItems(bool withCrop) {
    std::vector<NameTagItem> items = {
        {32797, QStringLiteral("%i - Index unique"), QStringLiteral("%i")},
        {32798, QStringLiteral("%f - Nom du fichier origine"), QStringLiteral("%f")},
        {32799, QStringLiteral("%dj - Date du jour format yyyymmdd"), QStringLiteral("%dj")},
        {32800, QStringLiteral("%dc - Date du cliché format yyyymmdd"), QStringLiteral("%dc")},
        {32802, QStringLiteral("%sr - Nom du sous répertoire de la photo d'origine"),
         QStringLiteral("%sr")},
        {CROP_TAG_COMMAND, QStringLiteral("%r - Recadrage"), QStringLiteral("%r")},
    };
    if (!withCrop) {
        std::erase_if(items,
                      [](const NameTagItem& item) { return item.command == CROP_TAG_COMMAND; });
    }
    return items;
}

QIcon TagMenuIcon() {
    // 16 x 16 display pixels: three text lines and a small arrow pointing down.
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

QString ChooseNameTag(QWidget* button, bool withCrop) {
    QMenu menu(button);
    for (const NameTagItem& item : NameTagItems(withCrop)) {
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
