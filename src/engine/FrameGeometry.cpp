#include "engine/FrameGeometry.h"

#include <cmath>

#include <algorithm>
#include <cstdint>

#include "engine/PixelMath.h"

namespace {

// Margin between the client area's edges and the displayed photo, display pixels.
constexpr int kImageMargin = 5;

// Score of one side from its pixels per cm: 60 or fewer give 0, 100 or more give 100,
// 2.5 per pixel per cm in between (integer arithmetic, truncated toward zero).
int SideQuality(int pixelsPerCm) {
    const int64_t q = (20 * (5 * static_cast<int64_t>(pixelsPerCm) - 300)) / 40;
    return static_cast<int>(std::clamp<int64_t>(q, 0, 100));
}

} // namespace

void FrameGeometry::SetPhotoSize(int width, int height) {
    photoWidth = std::max(width, 0);
    photoHeight = std::max(height, 0);
}

void FrameGeometry::SetClientSize(int width, int height) {
    clientWidth = std::max(width, 0);
    clientHeight = std::max(height, 0);
}

void FrameGeometry::SetFormat(double height, double width, const std::string& label) {
    ratio = width != 0.0 ? height / width : 0.0;
    formatLabel = label;
    heightCm = height;
    widthCm = width;
    if (HasPhoto()) {
        AutoOrient();
    }
}

void FrameGeometry::Reset() {
    offsetX = 0;
    offsetY = 0;
    shrink = 0;
}

double FrameGeometry::EffectiveRatio() const {
    if (idPhotoMode) {
        return kIdPhotoRatio;
    }
    if (frameRotated && ratio != 0.0) {
        return 1.0 / ratio;
    }
    return ratio;
}

QRect FrameGeometry::GetImageRect() const {
    if (!HasPhoto()) {
        return {};
    }
    // The client area less the margin; a window too small for the margin gives an empty area.
    QRect area(kImageMargin, kImageMargin, std::max(0, clientWidth - 2 * kImageMargin),
               std::max(0, clientHeight - 2 * kImageMargin));
    const double cw = area.width();
    const double ch = area.height();

    double w = photoWidth;
    double h = photoHeight;
    if (w > cw) {
        h = cw * h / w;
        w = cw;
    }
    if (h > ch) {
        w = w * ch / h;
        h = ch;
    }
    // Each side moves by half of the truncated difference, so the displayed size may exceed
    // the exact scaled size by less than two pixels.
    if (w < cw) {
        const int dx = TruncToInt(cw - w) / 2;
        area.adjust(dx, 0, -dx, 0);
    }
    if (h < ch) {
        const int dy = TruncToInt(ch - h) / 2;
        area.adjust(0, dy, 0, -dy);
    }
    return area;
}

QRect FrameGeometry::GetFrameRect(bool photoPixels) const {
    if (!HasPhoto()) {
        return {};
    }
    QRect base;
    double ox = 0.0;
    double oy = 0.0;
    double z = 0.0;
    if (!photoPixels) {
        base = GetImageRect();
        ox = offsetX;
        oy = offsetY;
        z = shrink;
    } else {
        // Offsets and inset are display pixels: scale them to photo pixels by the ratio of
        // the photo's size to its displayed size.
        base = QRect(0, 0, photoWidth, photoHeight);
        const QRect shown = GetImageRect();
        const double dw = shown.width();
        const double dh = shown.height();
        if (dw > 0.0 && dh > 0.0) {
            ox = photoWidth * static_cast<double>(offsetX) / dw;
            oy = photoHeight * static_cast<double>(offsetY) / dh;
            z = photoWidth < photoHeight ? shrink * static_cast<double>(photoWidth) / dw
                                         : shrink * static_cast<double>(photoHeight) / dh;
        }
    }

    const double r = EffectiveRatio();
    const double bw = base.width();
    const double bh = base.height();

    // Largest frame of proportions r inside the base rectangle.
    double fw = 0.0;
    double fh = 0.0;
    if (bw * r <= bh) {
        fw = bw;
        fh = bw * r;
    } else {
        fh = bh;
        fw = bh / r;
    }

    // The inset takes z off each end of the shorter side; the longer side keeps the
    // proportions. Without a format (r = 0) only the height is inset.
    double zw = 0.0;
    double zh = 0.0;
    if (fw < fh) {
        zw = z;
        zh = r * z;
    } else {
        zh = z;
        zw = r != 0.0 ? z / r : 0.0;
    }

    const double mx = (bw - fw) / 2.0;
    const double my = (bh - fh) / 2.0;
    return base.adjusted(TruncToInt(mx + zw + ox), TruncToInt(my + zh + oy),
                         -TruncToInt(mx + zw - ox), -TruncToInt(my + zh - oy));
}

QSize FrameGeometry::GetFrameSize() const {
    return GetFrameRect(true).size();
}

int FrameGeometry::GetPrintQuality() const {
    if (heightCm <= 0.0 || widthCm <= 0.0) {
        return 0;
    }
    const QSize size = GetFrameSize();
    // A turned frame prints its width along the format's height.
    const double acrossCm = frameRotated ? heightCm : widthCm;
    const double downCm = frameRotated ? widthCm : heightCm;
    const int px = TruncToInt(size.width() / acrossCm);
    const int py = TruncToInt(size.height() / downCm);
    return std::min(SideQuality(px), SideQuality(py));
}

std::optional<PrintDpi> FrameGeometry::PrintResolution(int width, int height) const {
    if (ratio == 0.0)
        return std::nullopt;
    return frameRotated ? PrintResolution(width, height, heightCm, widthCm)
                        : PrintResolution(width, height, widthCm, heightCm);
}

std::optional<PrintDpi> FrameGeometry::PrintResolution(int width, int height, double widthCm,
                                                       double heightCm) {
    constexpr double kCmPerInch = 2.54;
    if (width <= 0 || height <= 0 || !(widthCm > 0.0) || !(heightCm > 0.0))
        return std::nullopt;
    return PrintDpi{std::round(width * kCmPerInch / widthCm),
                    std::round(height * kCmPerInch / heightCm)};
}

void FrameGeometry::AutoOrient() {
    if (!HasPhoto()) {
        return;
    }
    const double r = static_cast<double>(photoHeight) / static_cast<double>(photoWidth);
    frameRotated = (r < 1.0 && ratio > 1.0) || (r > 1.0 && ratio < 1.0);
}

void FrameGeometry::MoveFrameX(int d) {
    offsetX += d;
    ClampFrame();
}

void FrameGeometry::MoveFrameY(int d) {
    offsetY += d;
    ClampFrame();
}

void FrameGeometry::ZoomFrame(int d) {
    const QRect frame = GetFrameRect(false);
    const int64_t twice = 2 * static_cast<int64_t>(d);
    if (frame.height() > twice && frame.width() > twice) {
        shrink += d;
    }
    shrink = std::max(shrink, 0);
    ClampFrame();
}

void FrameGeometry::ClampFrame() {
    // Both rectangles are taken once: each test below compares against the same frame.
    // right() and bottom() are the last pixel inside, one less than the edge; only their
    // differences count here, which are the same.
    const QRect image = GetImageRect();
    const QRect frame = GetFrameRect(false);
    if (frame.left() < image.left()) {
        offsetX += image.left() - frame.left();
    }
    if (frame.right() > image.right()) {
        offsetX += image.right() - frame.right();
    }
    if (frame.bottom() > image.bottom()) {
        offsetY += image.bottom() - frame.bottom();
    }
    if (frame.top() < image.top()) {
        offsetY += image.top() - frame.top();
    }
}

void FrameGeometry::RotateFrame() {
    frameRotated = !frameRotated;
    ClampFrame();
}
