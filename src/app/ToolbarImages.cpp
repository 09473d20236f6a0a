#include "app/ToolbarImages.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QTransform>

#include <array>
#include <functional>

// Pictures are drawn in tile coordinates (0..15 both ways) without antialiasing, so that
// no pixel is a blend of a colour with the key colour: after the key colour is replaced,
// edges stay clean instead of showing a magenta fringe.
namespace {

const QColor kOutline(40, 40, 40);
const QColor kFolderFill(240, 200, 80);
const QColor kFolderDark(150, 110, 20);
const QColor kArrowBlue(30, 90, 200);
const QColor kArrowGreen(30, 150, 50);
const QColor kGearGray(110, 110, 120);

void DrawFolder(QPainter& p) {
    p.setPen(kFolderDark);
    p.setBrush(kFolderFill);
    p.drawPolygon(QPolygon({{1, 3}, {6, 3}, {7, 5}, {14, 5}, {14, 13}, {1, 13}}));
    p.setPen(QColor(255, 235, 160));
    p.drawLine(2, 6, 13, 6);
}

void DrawWorkingFolder(QPainter& p) {
    DrawFolder(p);
}

void DrawDestinationFolder(QPainter& p) {
    DrawFolder(p);
    p.setPen(Qt::NoPen);
    p.setBrush(kArrowGreen);
    p.drawPolygon(QPolygon({{5, 8}, {9, 8}, {9, 6}, {13, 10}, {9, 14}, {9, 12}, {5, 12}}));
}

void DrawGear(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kGearGray);
    // Teeth: a cross and a diagonal cross of 4-pixel-wide bars.
    p.drawRect(6, 1, 4, 14);
    p.drawRect(1, 6, 14, 4);
    p.drawPolygon(QPolygon({{2, 4}, {4, 2}, {14, 12}, {12, 14}}));
    p.drawPolygon(QPolygon({{12, 2}, {14, 4}, {4, 14}, {2, 12}}));
    p.drawEllipse(QRect(3, 3, 10, 10));
    p.setBrush(QColor(230, 230, 235));
    p.drawEllipse(QRect(6, 6, 4, 4));
}

void DrawArrow(QPainter& p, bool pointsRight) {
    QPolygon arrow({{1, 8}, {7, 2}, {7, 5}, {14, 5}, {14, 11}, {7, 11}, {7, 14}});
    if (pointsRight) {
        for (QPoint& point : arrow)
            point.setX(15 - point.x());
    }
    p.setPen(QColor(20, 50, 120));
    p.setBrush(kArrowBlue);
    p.drawPolygon(arrow);
}

void DrawTrash(QPainter& p) {
    p.setPen(kOutline);
    p.setBrush(QColor(170, 180, 190));
    p.drawRect(3, 4, 9, 10);
    p.drawRect(2, 2, 11, 2);
    p.drawRect(6, 1, 3, 1);
    p.setPen(QColor(90, 100, 110));
    for (int x = 5; x <= 10; x += 2)
        p.drawLine(x, 6, x, 12);
}

void DrawMagnifier(QPainter& p, bool plus) {
    p.setPen(QPen(QColor(90, 60, 30), 3));
    p.drawLine(10, 10, 14, 14);
    p.setPen(kOutline);
    p.setBrush(QColor(215, 235, 250));
    p.drawEllipse(QRect(1, 1, 10, 10));
    p.setPen(QPen(QColor(20, 60, 160), 2));
    p.drawLine(4, 6, 8, 6);
    if (plus)
        p.drawLine(6, 4, 6, 8);
}

void DrawRotation(QPainter& p, bool clockwise) {
    // Three quarters of a circle with an arrow head at its free end.
    QPainterPath arc;
    arc.arcMoveTo(QRectF(2.5, 2.5, 10, 10), 90);
    arc.arcTo(QRectF(2.5, 2.5, 10, 10), 90, 270);
    QPolygon head({{7, 0}, {11, 3}, {7, 6}});
    if (!clockwise) {
        QTransform mirror(-1, 0, 0, 1, 15, 0);
        arc = mirror.map(arc);
        head = mirror.map(head);
    }
    p.setPen(QPen(QColor(20, 110, 40), 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 110, 40));
    p.drawPolygon(head);
}

void DrawFlip(QPainter& p, bool horizontal) {
    QPolygon left({{1, 13}, {6, 13}, {6, 3}});
    QPolygon right({{14, 13}, {9, 13}, {9, 3}});
    QPoint axisStart(7, 1), axisEnd(7, 14);
    if (!horizontal) {
        const QTransform swap(0, 1, 1, 0, 0, 0);
        left = swap.map(left);
        right = swap.map(right);
        axisStart = swap.map(axisStart);
        axisEnd = swap.map(axisEnd);
    }
    p.setPen(kArrowBlue);
    p.setBrush(kArrowBlue);
    p.drawPolygon(left);
    p.setBrush(Qt::white);
    p.drawPolygon(right);
    p.setPen(QPen(kOutline, 1, Qt::DotLine));
    p.drawLine(axisStart, axisEnd);
}

void DrawTurnedFrame(QPainter& p) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QColor(120, 120, 120));
    p.drawRect(4, 1, 7, 13);
    p.setPen(QPen(QColor(200, 30, 30), 2));
    p.drawRect(1, 5, 13, 6);
}

void DrawGray(QPainter& p) {
    for (int band = 0; band < 4; ++band) {
        const int level = 40 + band * 60;
        p.fillRect(1 + band * 3 + (band > 0 ? 1 : 0), 2, band == 0 ? 4 : 3, 12,
                   QColor(level, level, level));
    }
    p.setPen(kOutline);
    p.setBrush(Qt::NoBrush);
    p.drawRect(1, 2, 13, 11);
}

void DrawSepia(QPainter& p) {
    const std::array<QColor, 4> tones{QColor(90, 60, 30), QColor(140, 100, 60),
                                      QColor(190, 150, 100), QColor(230, 205, 160)};
    for (int band = 0; band < 4; ++band)
        p.fillRect(1 + band * 3 + (band > 0 ? 1 : 0), 2, band == 0 ? 4 : 3, 12, tones[band]);
    p.setPen(kOutline);
    p.setBrush(Qt::NoBrush);
    p.drawRect(1, 2, 13, 11);
}

void DrawWhiteBorder(QPainter& p) {
    p.setPen(kOutline);
    p.setBrush(Qt::white);
    p.drawRect(1, 1, 13, 13);
    p.fillRect(4, 4, 8, 4, QColor(110, 170, 230));
    p.fillRect(4, 8, 8, 4, QColor(70, 150, 60));
}

void DrawThirds(QPainter& p) {
    p.fillRect(1, 1, 14, 14, QColor(150, 200, 240));
    p.fillRect(1, 10, 14, 5, QColor(80, 150, 70));
    p.setPen(QColor(250, 250, 250));
    p.drawLine(5, 1, 5, 14);
    p.drawLine(10, 1, 10, 14);
    p.drawLine(1, 5, 14, 5);
    p.drawLine(1, 10, 14, 10);
    p.setPen(kOutline);
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, 15, 15);
}

void DrawFullScreen(QPainter& p) {
    p.setPen(kOutline);
    p.setBrush(QColor(220, 230, 245));
    p.drawRect(3, 3, 9, 9);
    p.setPen(Qt::NoPen);
    p.setBrush(kArrowBlue);
    // One right-angle arrow head in each corner, pointing outwards.
    p.drawPolygon(QPolygon({{0, 0}, {5, 0}, {0, 5}}));
    p.drawPolygon(QPolygon({{15, 0}, {10, 0}, {15, 5}}));
    p.drawPolygon(QPolygon({{0, 15}, {5, 15}, {0, 10}}));
    p.drawPolygon(QPolygon({{15, 15}, {10, 15}, {15, 10}}));
}

void DrawIdSheet(QPainter& p) {
    p.setPen(kOutline);
    p.setBrush(Qt::white);
    p.drawRect(1, 0, 13, 15);
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 2; ++column) {
            const int x = 3 + column * 6;
            const int y = 2 + row * 7;
            p.setBrush(QColor(190, 215, 240));
            p.drawRect(x, y, 4, 5);
            p.setBrush(QColor(70, 70, 90));
            p.drawRect(x + 1, y + 1, 2, 2);
            p.drawRect(x, y + 3, 4, 2);
        }
    }
}

void DrawInfo(QPainter& p) {
    p.setPen(QColor(20, 50, 140));
    p.setBrush(kArrowBlue);
    p.drawEllipse(QRect(0, 0, 15, 15));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(7, 3, 2, 2);
    p.drawRect(7, 6, 2, 6);
    p.drawRect(6, 12, 4, 1);
}

} // namespace

QImage MakeToolbarStrip() {
    QImage strip(kToolbarStripWidth, kToolbarStripHeight, QImage::Format_RGB888);
    strip.fill(QColor::fromRgb(kToolbarKeyColour));

    using Drawer = std::function<void(QPainter&)>;
    const std::array<Drawer, kToolbarTileCount> pictures{
        DrawWorkingFolder,
        DrawDestinationFolder,
        DrawGear,
        [](QPainter& p) { DrawArrow(p, false); },
        [](QPainter& p) { DrawArrow(p, true); },
        DrawTrash,
        [](QPainter& p) { DrawMagnifier(p, true); },
        [](QPainter& p) { DrawMagnifier(p, false); },
        [](QPainter& p) { DrawRotation(p, true); },
        [](QPainter& p) { DrawRotation(p, false); },
        [](QPainter& p) { DrawFlip(p, true); },
        [](QPainter& p) { DrawFlip(p, false); },
        DrawTurnedFrame,
        DrawGray,
        DrawSepia,
        DrawWhiteBorder,
        DrawThirds,
        DrawFullScreen,
        DrawIdSheet,
        DrawInfo,
    };

    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int index = 0; index < kToolbarTileCount; ++index) {
        painter.save();
        painter.setClipRect(index * kToolbarTileSize, 0, kToolbarTileSize, kToolbarTileSize);
        painter.translate(index * kToolbarTileSize, 0);
        pictures[index](painter);
        painter.restore();
    }
    return strip;
}

void ReplaceKeyColour(QImage& image, const QColor& replacement) {
    if (image.isNull())
        return;
    const QRgb key = image.pixel(0, image.height() - 1);
    const QRgb colour = replacement.rgb();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == key)
                image.setPixel(x, y, colour);
        }
    }
}

QPixmap ToolbarTile(const QImage& strip, int index) {
    return QPixmap::fromImage(
        strip.copy(index * kToolbarTileSize, 0, kToolbarTileSize, kToolbarTileSize));
}
