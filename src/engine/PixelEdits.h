#pragma once

#include <QImage>

// Luminance 0.299 R + 0.587 G + 0.114 B plus an offset per channel (in 0..255 units), rounded
// and clamped to 0..255: the gray and tinted looks of a photo.
struct LuminanceTint {
    float red = 0.0f;
    float green = 0.0f;
    float blue = 0.0f;
};
inline constexpr LuminanceTint kGrayTint{};
// Red raised by 15 % of full scale, blue lowered by 10 %.
inline constexpr LuminanceTint kSepiaTint{0.15f * 255.0f, 0.0f, -0.1f * 255.0f};

// The whole-photo edits on Format_RGB888 pixels (other formats are converted first), written
// for 24-megapixel photos: turns copy tiles small enough to stay in the processor's cache,
// and every edit splits its rows across the cores (RowBands).
class PixelEdits {
public:
    // A new image: a quarter turn counter-clockwise (left) or clockwise (right). The image's
    // own metadata (dots per metre, text) go with it, as with QImage::transformed.
    [[nodiscard]] static QImage turnedLeft(const QImage& image);
    [[nodiscard]] static QImage turnedRight(const QImage& image);

    // In place: mirror left-right, mirror top-bottom, luminance with a tint.
    static void mirrorHorizontally(QImage& image);
    static void mirrorVertically(QImage& image);
    static void applyTint(QImage& image, LuminanceTint tint);
};
