#include "app/ShellIcons.h"

#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <QRectF>

namespace {

// A sheet of paper with a folded top-right corner, in 16 x 16 icon coordinates.
void drawPage(QPainter& p) {
    const QPolygonF page({{3.5, 1.5}, {10.5, 1.5}, {13.5, 4.5}, {13.5, 14.5}, {3.5, 14.5}});
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawPolygon(page);
    p.setBrush(QColor(215, 215, 215));
    p.drawPolygon(QPolygonF({{10.5, 1.5}, {10.5, 4.5}, {13.5, 4.5}}));
}

void drawPencil(QPainter& p) {
    p.save();
    p.translate(9, 9);
    p.rotate(-45);
    p.setPen(QPen(QColor(120, 70, 0), 0.8));
    p.setBrush(QColor(245, 160, 20));
    p.drawRect(QRectF(-5, -1.6, 8, 3.2));
    p.setBrush(QColor(240, 210, 160));
    p.drawPolygon(QPolygonF({{3, -1.6}, {6, 0}, {3, 1.6}}));
    p.restore();
}

void drawCheckMark(QPainter& p) {
    p.setPen(QPen(QColor(20, 150, 40), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{5.5, 9.0}, {8.0, 12.0}, {14.0, 4.5}}));
}

void drawArrowIn(QPainter& p) {
    p.setPen(QPen(QColor(30, 90, 200), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(8.5, 4.0), QPointF(8.5, 12.0));
    p.drawPolyline(QPolygonF({{5.5, 9.0}, {8.5, 12.0}, {11.5, 9.0}}));
}

QPixmap drawProgramIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    QLinearGradient sky(0, 2, 0, 30);
    sky.setColorAt(0, QColor(60, 120, 210));
    sky.setColorAt(1, QColor(170, 210, 245));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(1, 2, 30, 28), 3, 3);
    p.setBrush(QColor(60, 140, 70));
    p.drawPolygon(QPolygonF(
        {{1, 24}, {10, 16}, {17, 21}, {24, 14}, {31, 20}, {31, 27}, {28, 30}, {4, 30}, {1, 27}}));
    p.setBrush(QColor(255, 220, 90));
    p.drawEllipse(QRectF(20, 6, 6, 6));
    p.setPen(QPen(Qt::white, 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(7, 7, 16, 19));
    return pixmap;
}

} // namespace

QPixmap resultIconPixmap(ResultIcon icon) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    drawPage(p);
    switch (icon) {
    case ResultIcon::Missing:
        break;
    case ResultIcon::Changed:
        drawPencil(p);
        break;
    case ResultIcon::Saved:
        drawCheckMark(p);
        break;
    case ResultIcon::Writing:
        drawArrowIn(p);
        break;
    }
    return pixmap;
}

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addPixmap(drawProgramIcon(size));
    return icon;
}
