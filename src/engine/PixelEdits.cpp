#include "engine/PixelEdits.h"

#include "engine/ImageBuffer.h"
#include "engine/RowBands.h"

#include <QColorSpace>
#include <algorithm>
#include <array>
#include <cstring>
#include <type_traits>

namespace {

constexpr int kBytesPerPixel = 3;
// Side of the square tiles a turn copies, in pixels: a tile's source rows and destination
// rows (64 x 192 bytes each) stay in the first-level cache together.
constexpr int kTile = 64;

void toRgb888(QImage& image) {
    if (image.format() != QImage::Format_RGB888)
        image = image.convertToFormat(QImage::Format_RGB888);
}

// Clamped to 0..255, then truncated toward zero.
uchar toByte(float value) {
    return static_cast<uchar>(std::clamp(value, 0.0f, 255.0f));
}

void copyMetadata(const QImage& from, QImage& to) {
    to.setDotsPerMeterX(from.dotsPerMeterX());
    to.setDotsPerMeterY(from.dotsPerMeterY());
    to.setDevicePixelRatio(from.devicePixelRatio());
    to.setOffset(from.offset());
    to.setColorSpace(from.colorSpace());
    for (const QString& key : from.textKeys())
        to.setText(key, from.text(key));
}

// The turned image: pixel (x, y) of the result is pixel (y, h - 1 - x) of the source for a
// clockwise turn, (w - 1 - y, x) for a counter-clockwise one (w x h: the source's size).
QImage turned(const QImage& image, bool clockwise) {
    QImage source = image;
    toRgb888(source);
    if (source.isNull())
        return source;
    const int w = source.width();
    const int h = source.height();
    QImage result = allocateRgb888(h, w);
    if (result.isNull())
        return result;
    copyMetadata(source, result);
    const uchar* const from = source.constBits();
    const qsizetype fromStride = source.bytesPerLine();
    uchar* const to = result.bits();
    const qsizetype toStride = result.bytesPerLine();
    // Source offset of result pixel (x, y) is start(y) + x * step.
    const qsizetype step = clockwise ? -fromStride : fromStride;
    const auto start = [&](int y) -> qsizetype {
        return clockwise ? qsizetype{h - 1} * fromStride + qsizetype{y} * kBytesPerPixel
                         : qsizetype{w - 1 - y} * kBytesPerPixel;
    };
    // Bands of result rows, that is of source columns.
    RowBands::run(w, h, [&](int firstRow, int endRow) {
        for (int tileY = firstRow; tileY < endRow; tileY += kTile) {
            const int tileEndY = std::min(tileY + kTile, endRow);
            for (int tileX = 0; tileX < h; tileX += kTile) {
                const int tileEndX = std::min(tileX + kTile, h);
                for (int y = tileY; y < tileEndY; ++y) {
                    uchar* out = to + qsizetype{y} * toStride + qsizetype{tileX} * kBytesPerPixel;
                    qsizetype in = start(y) + qsizetype{tileX} * step;
                    for (int x = tileX; x < tileEndX; ++x, out += kBytesPerPixel, in += step)
                        std::memcpy(out, from + in, kBytesPerPixel);
                }
            }
        }
    });
    return result;
}

} // namespace

QImage PixelEdits::turnedLeft(const QImage& image) {
    return turned(image, false);
}

QImage PixelEdits::turnedRight(const QImage& image) {
    return turned(image, true);
}

void PixelEdits::mirrorHorizontally(QImage& image) {
    toRgb888(image);
    if (image.isNull())
        return;
    const int w = image.width();
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    RowBands::run(image.height(), w, [&](int firstRow, int endRow) {
        for (int y = firstRow; y < endRow; ++y) {
            uchar* left = bits + qsizetype{y} * stride;
            uchar* right = left + qsizetype{w - 1} * kBytesPerPixel;
            for (; left < right; left += kBytesPerPixel, right -= kBytesPerPixel) {
                std::array<uchar, kBytesPerPixel> pixel{};
                std::memcpy(pixel.data(), left, kBytesPerPixel);
                std::memcpy(left, right, kBytesPerPixel);
                std::memcpy(right, pixel.data(), kBytesPerPixel);
            }
        }
    });
}

void PixelEdits::mirrorVertically(QImage& image) {
    toRgb888(image);
    if (image.isNull())
        return;
    const int h = image.height();
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    // Bands of the upper half's rows, each swapped with its mirror row in pieces.
    RowBands::run(h / 2, qsizetype{image.width()} * 2, [&](int firstRow, int endRow) {
        std::array<uchar, 4096> piece{};
        for (int y = firstRow; y < endRow; ++y) {
            uchar* top = bits + qsizetype{y} * stride;
            uchar* bottom = bits + qsizetype{h - 1 - y} * stride;
            for (qsizetype done = 0; done < stride;) {
                const std::size_t n =
                    std::min<std::size_t>(piece.size(), std::size_t(stride - done));
                std::memcpy(piece.data(), top + done, n);
                std::memcpy(top + done, bottom + done, n);
                std::memcpy(bottom + done, piece.data(), n);
                done += qsizetype(n);
            }
        }
    });
}

void PixelEdits::applyTint(QImage& image, LuminanceTint tint) {
    toRgb888(image);
    if (image.isNull())
        return;
    // Each channel's share of the luminance, exactly as the products r * 0.299f and so on
    // give it; the sum is then formed in the same order, so every pixel comes out the same
    // as from the plain formula.
    std::array<std::array<float, 256>, 3> share{};
    constexpr float kWeights[3] = {0.299f, 0.587f, 0.114f};
    for (int c = 0; c < 3; ++c) {
        for (int v = 0; v < 256; ++v)
            share[std::size_t(c)][std::size_t(v)] = static_cast<float>(v) * kWeights[c];
    }
    // + 0.5: rounds where the conversion truncates.
    const float offset[3] = {tint.red + 0.5f, tint.green + 0.5f, tint.blue + 0.5f};
    const int w = image.width();
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    // Gray (one offset for all channels) converts once per pixel instead of three times.
    const bool gray = offset[0] == offset[1] && offset[1] == offset[2];
    const auto tintRows = [&](auto sameForAll, int firstRow, int endRow) {
        for (int y = firstRow; y < endRow; ++y) {
            uchar* p = bits + qsizetype{y} * stride;
            for (int x = 0; x < w; ++x, p += kBytesPerPixel) {
                const float luminance = share[0][p[0]] + share[1][p[1]] + share[2][p[2]];
                if constexpr (decltype(sameForAll)::value) {
                    p[0] = p[1] = p[2] = toByte(luminance + offset[0]);
                } else {
                    p[0] = toByte(luminance + offset[0]);
                    p[1] = toByte(luminance + offset[1]);
                    p[2] = toByte(luminance + offset[2]);
                }
            }
        }
    };
    RowBands::run(image.height(), w, [&](int firstRow, int endRow) {
        if (gray)
            tintRows(std::true_type{}, firstRow, endRow);
        else
            tintRows(std::false_type{}, firstRow, endRow);
    });
}
