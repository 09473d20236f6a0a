#include "view/PictureRenderer.h"

#include <QColor>
#include <QPainter>
#include <QPen>
#include <QRegion>
#include <algorithm>

#include "engine/Photo.h"
#include "engine/PhotoDocument.h"
#include "engine/PixelMath.h"
#include "settings/Settings.h"

namespace {

constexpr char kCanvasTileResource[] = ":/res/canvas-tile.png";
constexpr qreal kPenWidth = 2.0;
// Bounding box of the circles on the thirds crossings, display pixels.
constexpr int kThirdsCircle = 20;

QPen overlayPen(uint32_t argb) {
    QPen pen(QColor::fromRgba(argb), kPenWidth);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

void fillRegion(QPainter& painter, const QRegion& region, const QColor& color) {
    for (const QRect& rect : region) {
        painter.fillRect(rect, color);
    }
}

} // namespace

PictureRenderer::PictureRenderer() {
    QImage tile(QString::fromLatin1(kCanvasTileResource));
    if (tile.isNull()) {
        // Without the artwork the canvas is a plain mid grey rather than black.
        tile = QImage(8, 8, QImage::Format_RGB32);
        tile.fill(QColor(0x80, 0x80, 0x80));
    }
    m_tileBrush.setTextureImage(tile);
}

void PictureRenderer::rebuildBase(const PhotoDocument& model, QSize client,
                                  const QRect& imageRect) {
    if (m_base.size() != client) {
        m_base = QImage(client, QImage::Format_ARGB32_Premultiplied);
    }
    QPainter painter(&m_base);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(QRect(QPoint(0, 0), client), m_tileBrush);
    // The reduced copy while the full size is still being decoded: never waits for it.
    const QImage photo = model.displayImage();
    if (!photo.isNull() && imageRect.isValid()) {
        // Nearest neighbour, as the photo is only a preview of the crop; the scaled copy is
        // converted once so that each paint is a plain copy.
        const QImage shown =
            photo.scaled(imageRect.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)
                .convertToFormat(QImage::Format_RGB32);
        painter.drawImage(imageRect.topLeft(), shown);
    }
    m_baseValid = true;
    m_baseGeneration = model.photoGeneration();
    m_baseImageRect = imageRect;
}

const QImage& PictureRenderer::compose(const PhotoDocument& model, const Settings& settings,
                                       QSize client) {
    if (client.isEmpty()) {
        m_composed = QImage();
        return m_composed;
    }
    const QRect imageRect = model.imageRect();
    if (!m_baseValid || m_base.size() != client || m_baseGeneration != model.photoGeneration() ||
        m_baseImageRect != imageRect) {
        rebuildBase(model, client, imageRect);
    }
    if (m_composed.size() != client) {
        m_composed = QImage(client, QImage::Format_ARGB32_Premultiplied);
    }
    QPainter painter(&m_composed);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, m_base);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    drawOverlay(painter, model, settings);
    return m_composed;
}

void PictureRenderer::paint(QPainter& painter, const PhotoDocument& model, const Settings& settings,
                            QSize client) {
    const QImage& frame = compose(model, settings, client);
    if (!frame.isNull()) {
        painter.drawImage(0, 0, frame);
    }
}

void PictureRenderer::drawOverlay(QPainter& painter, const PhotoDocument& model,
                                  const Settings& settings) {
    const FrameGeometry& geometry = model.geometry();
    if (!model.hasPhoto() || geometry.ratio() == 0.0) {
        return;
    }
    const QRect image = geometry.imageRect();
    const QRect frame = geometry.frameRect(false);

    // Guides first: the tint and the ring cover their ends.
    if (model.thirds()) {
        drawThirds(painter, frame, model.frameColor(true, true));
    }

    // Tint of the photo outside the frame; nothing outside the photo.
    const QRegion outside = QRegion(image).subtracted(QRegion(frame));
    fillRegion(painter, outside, QColor::fromRgba(model.frameColor(false, true)));

    // Preview of the white border, inside the frame where the result gets it.
    if (model.whiteBorder() && geometry.heightCm() != 0.0) {
        const int side = geometry.isFrameRotated() ? frame.width() : frame.height();
        const int b = truncToInt(model.borderCm() / geometry.heightCm() * side);
        if (b > 0) {
            const QRegion ring = QRegion(frame).subtracted(QRegion(frame.adjusted(b, b, -b, -b)));
            fillRegion(painter, ring, Qt::white);
        }
    }

    if (settings.useSmallRBorder() != 0) {
        drawOutline(painter, frame, image, model.frameColor(true, false));
    }
}

void PictureRenderer::drawThirds(QPainter& painter, const QRect& frame, uint32_t argb) {
    // The lines run from edge to edge, the right and bottom edges just outside the frame.
    const int w = frame.width();
    const int h = frame.height();
    const int left = frame.x();
    const int top = frame.y();
    const int right = left + w;
    const int bottom = top + h;
    const int x1 = left + w / 3;
    const int x2 = left + (2 * w) / 3;
    const int y1 = top + h / 3;
    const int y2 = top + (2 * h) / 3;
    painter.setPen(overlayPen(argb));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(x1, top, x1, bottom);
    painter.drawLine(x2, top, x2, bottom);
    painter.drawLine(left, y1, right, y1);
    painter.drawLine(left, y2, right, y2);
    constexpr int kHalf = kThirdsCircle / 2;
    for (const int x : {x1, x2}) {
        for (const int y : {y1, y2}) {
            painter.drawEllipse(QRectF(x - kHalf, y - kHalf, kThirdsCircle, kThirdsCircle));
        }
    }
}

void PictureRenderer::drawOutline(QPainter& painter, const QRect& frame, const QRect& image,
                                  uint32_t argb) {
    // Just outside the frame, clipped to the photo; a side touching the photo's edge gets
    // no line. Right and bottom edges here lie just outside their rectangle.
    const int imageRight = image.x() + image.width();
    const int imageBottom = image.y() + image.height();
    const int x0 = std::max(frame.x() - 1, image.x());
    const int y0 = std::max(frame.y() - 1, image.y());
    const int x1 = std::min(frame.x() + frame.width() + 1, imageRight);
    const int y1 = std::min(frame.y() + frame.height() + 1, imageBottom);
    painter.setPen(overlayPen(argb));
    if (y0 > image.y()) {
        painter.drawLine(x0, y0, x1, y0);
    }
    if (x0 > image.x()) {
        painter.drawLine(x0, y0, x0, y1);
    }
    if (y1 < imageBottom) {
        painter.drawLine(x0, y1, x1, y1);
    }
    if (x1 < imageRight) {
        painter.drawLine(x1, y0, x1, y1);
    }
}
