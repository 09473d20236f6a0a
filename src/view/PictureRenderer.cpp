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

QPen OverlayPen(uint32_t argb) {
    QPen pen(QColor::fromRgba(argb), kPenWidth);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

void FillRegion(QPainter& painter, const QRegion& region, const QColor& color) {
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
    tileBrush.setTextureImage(tile);
}

void PictureRenderer::RebuildBase(const PhotoDocument& model, QSize client,
                                  const QRect& imageRect) {
    if (base.size() != client) {
        base = QImage(client, QImage::Format_ARGB32_Premultiplied);
    }
    QPainter painter(&base);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(QRect(QPoint(0, 0), client), tileBrush);
    const Photo* photo = model.photo();
    if (photo != nullptr && !photo->IsNull() && imageRect.isValid()) {
        // Nearest neighbour, as the photo is only a preview of the crop; the scaled copy is
        // converted once so that each paint is a plain copy.
        const QImage shown =
            photo->Image()
                .scaled(imageRect.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)
                .convertToFormat(QImage::Format_RGB32);
        painter.drawImage(imageRect.topLeft(), shown);
    }
    baseValid = true;
    baseGeneration = model.photoGeneration();
    baseImageRect = imageRect;
}

const QImage& PictureRenderer::Compose(const PhotoDocument& model, const CSettings& settings,
                                       QSize client) {
    if (client.isEmpty()) {
        composed = QImage();
        return composed;
    }
    const QRect imageRect = model.imageRect();
    if (!baseValid || base.size() != client || baseGeneration != model.photoGeneration() ||
        baseImageRect != imageRect) {
        RebuildBase(model, client, imageRect);
    }
    if (composed.size() != client) {
        composed = QImage(client, QImage::Format_ARGB32_Premultiplied);
    }
    QPainter painter(&composed);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, base);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    DrawOverlay(painter, model, settings);
    return composed;
}

void PictureRenderer::Paint(QPainter& painter, const PhotoDocument& model,
                            const CSettings& settings, QSize client) {
    const QImage& frame = Compose(model, settings, client);
    if (!frame.isNull()) {
        painter.drawImage(0, 0, frame);
    }
}

void PictureRenderer::DrawOverlay(QPainter& painter, const PhotoDocument& model,
                                  const CSettings& settings) {
    const FrameGeometry& geometry = model.geometry();
    if (!model.hasPhoto() || geometry.Ratio() == 0.0) {
        return;
    }
    const QRect image = geometry.GetImageRect();
    const QRect frame = geometry.GetFrameRect(false);

    // Guides first: the tint and the ring cover their ends.
    if (model.thirds()) {
        DrawThirds(painter, frame, model.frameColor(true, true));
    }

    // Tint of the photo outside the frame; nothing outside the photo.
    const QRegion outside = QRegion(image).subtracted(QRegion(frame));
    FillRegion(painter, outside, QColor::fromRgba(model.frameColor(false, true)));

    // Preview of the white border, inside the frame where the result gets it.
    if (model.whiteBorder() && geometry.HeightCm() != 0.0) {
        const int side = geometry.IsFrameRotated() ? frame.width() : frame.height();
        const int b = TruncToInt(model.borderCm() / geometry.HeightCm() * side);
        if (b > 0) {
            const QRegion ring = QRegion(frame).subtracted(QRegion(frame.adjusted(b, b, -b, -b)));
            FillRegion(painter, ring, Qt::white);
        }
    }

    if (settings.GetUseSmallRBorder() != 0) {
        DrawOutline(painter, frame, image, model.frameColor(true, false));
    }
}

void PictureRenderer::DrawThirds(QPainter& painter, const QRect& frame, uint32_t argb) {
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
    painter.setPen(OverlayPen(argb));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(x1, top, x1, bottom);
    painter.drawLine(x2, top, x2, bottom);
    painter.drawLine(left, y1, right, y1);
    painter.drawLine(left, y2, right, y2);
    constexpr int half = kThirdsCircle / 2;
    for (const int x : {x1, x2}) {
        for (const int y : {y1, y2}) {
            painter.drawEllipse(QRectF(x - half, y - half, kThirdsCircle, kThirdsCircle));
        }
    }
}

void PictureRenderer::DrawOutline(QPainter& painter, const QRect& frame, const QRect& image,
                                  uint32_t argb) {
    // Just outside the frame, clipped to the photo; a side touching the photo's edge gets
    // no line. Right and bottom edges here lie just outside their rectangle.
    const int imageRight = image.x() + image.width();
    const int imageBottom = image.y() + image.height();
    const int x0 = std::max(frame.x() - 1, image.x());
    const int y0 = std::max(frame.y() - 1, image.y());
    const int x1 = std::min(frame.x() + frame.width() + 1, imageRight);
    const int y1 = std::min(frame.y() + frame.height() + 1, imageBottom);
    painter.setPen(OverlayPen(argb));
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
