#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>

// Renders a widget off screen the way it paints itself, in 32-bit RGB for pixel reads.
inline QImage render(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QColor pixelAt(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

// Bounding box of the pixels inside area that differ from background; empty when none.
inline QRect inkBox(const QImage& image, const QRect& area, const QColor& background) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixelColor(x, y) != background) {
                box = box.united(QRect(x, y, 1, 1));
            }
        }
    }
    return box;
}
