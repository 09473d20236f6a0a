#include "engine/ResultCrop.h"

#include <algorithm>
#include <cstring>

#include "engine/FrameGeometry.h"
#include "engine/Photo.h"
#include "engine/PixelMath.h"

namespace {

// Paints the ring between the image's edges and the rectangle b pixels inside them opaque
// white. A ring wider than half a side whitens the whole image.
void paintWhiteRing(QImage& image, int b) {
    if (b <= 0) {
        return;
    }
    const int w = image.width();
    const int h = image.height();
    const int bx = std::min(b, w);
    const size_t rowBytes = static_cast<size_t>(w) * 3;
    const size_t sideBytes = static_cast<size_t>(bx) * 3;
    for (int y = 0; y < h; ++y) {
        uchar* row = image.scanLine(y);
        if (y < b || y >= h - b) {
            std::memset(row, 0xFF, rowBytes);
        } else {
            std::memset(row, 0xFF, sideBytes);
            std::memset(row + rowBytes - sideBytes, 0xFF, sideBytes);
        }
    }
}

} // namespace

// A frame inside the photo (always, but for a rounding pixel) shares the photo's pixels
// instead of copying tens of megabytes: the result is a window into them that keeps the
// photo's buffer alive, and is copied only if written to later (white border). Fresh memory
// for a copy costs a page fault per 4 KB, the larger part of a copy's time; Enter must not
// wait for it.
QImage ResultCrop::cutOut(const QImage& image, const QRect& rect) {
    if (rect == image.rect()) {
        return image;
    }
    if (!image.rect().contains(rect) || image.depth() % 8 != 0) {
        return image.copy(rect); // outside the photo: black
    }
    auto* owner = new QImage(image);
    const uchar* first = owner->constScanLine(rect.y()) + rect.x() * (owner->depth() / 8);
    return QImage(
        first, rect.width(), rect.height(), owner->bytesPerLine(), owner->format(),
        [](void* info) { delete static_cast<QImage*>(info); }, owner);
}

int ResultCrop::borderPixels(const FrameGeometry& frame, const QRect& rect, double borderCm) {
    const int side = frame.isFrameRotated() ? rect.width() : rect.height();
    return truncToInt(borderCm / frame.heightCm() * side);
}

std::optional<Photo> ResultCrop::make(const Photo& photo, const FrameGeometry& frame,
                                      double borderCm) {
    if (photo.isNull() || frame.ratio() == 0.0) {
        return std::nullopt;
    }
    const QRect rect = frame.frameRect(true);
    if (rect.width() <= 0 || rect.height() <= 0) {
        return std::nullopt;
    }
    QImage pixels = cutOut(photo.image(), rect);
    if (pixels.isNull()) {
        return std::nullopt; // out of memory
    }
    if (borderCm > 0.0) {
        paintWhiteRing(pixels, borderPixels(frame, rect, borderCm));
    }
    // A result states the size it prints at; without a format the photo's resolution stays.
    const PrintDpi dpi = frame.printResolution(rect.width(), rect.height())
                             .value_or(PrintDpi{photo.dpiX(), photo.dpiY()});
    return photo.withImage(std::move(pixels), dpi.x, dpi.y);
}
