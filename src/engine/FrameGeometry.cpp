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
int sideQuality(int pixelsPerCm) {
    const int64_t q = (20 * (5 * static_cast<int64_t>(pixelsPerCm) - 300)) / 40;
    return static_cast<int>(std::clamp<int64_t>(q, 0, 100));
}

} // namespace

void FrameGeometry::setPhotoSize(int width, int height) {
    m_photoWidth = std::max(width, 0);
    m_photoHeight = std::max(height, 0);
}

void FrameGeometry::setClientSize(int width, int height) {
    m_clientWidth = std::max(width, 0);
    m_clientHeight = std::max(height, 0);
}

void FrameGeometry::setFormat(double height, double width, const std::string& label) {
    m_ratio = width != 0.0 ? height / width : 0.0;
    m_formatLabel = label;
    m_heightCm = height;
    m_widthCm = width;
    if (hasPhoto()) {
        autoOrient();
    }
}

QRect FrameGeometry::centredFrame(QSize photo, double heightCm, double widthCm) {
    return centred(photo, heightCm, widthCm).frameRect(true);
}

FrameGeometry FrameGeometry::centred(QSize photo, double heightCm, double widthCm) {
    FrameGeometry frame;
    if (photo.isEmpty() || heightCm <= 0.0 || widthCm <= 0.0) {
        return frame;
    }
    // A window whose client area holds the photo at full size beside the margin, so that a
    // display pixel is a photo pixel.
    frame.setPhotoSize(photo.width(), photo.height());
    frame.setClientSize(photo.width() + 2 * kImageMargin, photo.height() + 2 * kImageMargin);
    frame.setFormat(heightCm, widthCm, {});
    return frame;
}

void FrameGeometry::reset() {
    m_offsetX = 0;
    m_offsetY = 0;
    m_shrink = 0;
}

double FrameGeometry::effectiveRatio() const {
    if (m_idPhotoMode) {
        return kIdPhotoRatio;
    }
    if (m_frameRotated && m_ratio != 0.0) {
        return 1.0 / m_ratio;
    }
    return m_ratio;
}

QRect FrameGeometry::imageRect() const {
    if (!hasPhoto()) {
        return {};
    }
    // The client area less the margin; a window too small for the margin gives an empty area.
    QRect area(kImageMargin, kImageMargin, std::max(0, m_clientWidth - 2 * kImageMargin),
               std::max(0, m_clientHeight - 2 * kImageMargin));
    const double cw = area.width();
    const double ch = area.height();

    double w = m_photoWidth;
    double h = m_photoHeight;
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
        const int dx = truncToInt(cw - w) / 2;
        area.adjust(dx, 0, -dx, 0);
    }
    if (h < ch) {
        const int dy = truncToInt(ch - h) / 2;
        area.adjust(0, dy, 0, -dy);
    }
    return area;
}

QRect FrameGeometry::frameRect(bool photoPixels) const {
    if (!hasPhoto()) {
        return {};
    }
    QRect base;
    double ox = 0.0;
    double oy = 0.0;
    double z = 0.0;
    if (!photoPixels) {
        base = imageRect();
        ox = m_offsetX;
        oy = m_offsetY;
        z = m_shrink;
    } else {
        // Offsets and inset are display pixels: scale them to photo pixels by the ratio of
        // the photo's size to its displayed size.
        base = QRect(0, 0, m_photoWidth, m_photoHeight);
        const QRect shown = imageRect();
        const double dw = shown.width();
        const double dh = shown.height();
        if (dw > 0.0 && dh > 0.0) {
            ox = m_photoWidth * static_cast<double>(m_offsetX) / dw;
            oy = m_photoHeight * static_cast<double>(m_offsetY) / dh;
            z = m_photoWidth < m_photoHeight ? m_shrink * static_cast<double>(m_photoWidth) / dw
                                             : m_shrink * static_cast<double>(m_photoHeight) / dh;
        }
    }

    const double r = effectiveRatio();
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
    return base.adjusted(truncToInt(mx + zw + ox), truncToInt(my + zh + oy),
                         -truncToInt(mx + zw - ox), -truncToInt(my + zh - oy));
}

QSize FrameGeometry::frameSize() const {
    return frameRect(true).size();
}

int FrameGeometry::printQuality() const {
    if (m_heightCm <= 0.0 || m_widthCm <= 0.0) {
        return 0;
    }
    const QSize size = frameSize();
    // A turned frame prints its width along the format's height.
    const double acrossCm = m_frameRotated ? m_heightCm : m_widthCm;
    const double downCm = m_frameRotated ? m_widthCm : m_heightCm;
    const int px = truncToInt(size.width() / acrossCm);
    const int py = truncToInt(size.height() / downCm);
    return std::min(sideQuality(px), sideQuality(py));
}

std::optional<PrintDpi> FrameGeometry::printResolution(int width, int height) const {
    if (m_ratio == 0.0)
        return std::nullopt;
    return m_frameRotated ? printResolution(width, height, m_heightCm, m_widthCm)
                          : printResolution(width, height, m_widthCm, m_heightCm);
}

std::optional<PrintDpi> FrameGeometry::printResolution(int width, int height, double widthCm,
                                                       double heightCm) {
    constexpr double kCmPerInch = 2.54;
    if (width <= 0 || height <= 0 || !(widthCm > 0.0) || !(heightCm > 0.0))
        return std::nullopt;
    return PrintDpi{std::round(width * kCmPerInch / widthCm),
                    std::round(height * kCmPerInch / heightCm)};
}

void FrameGeometry::autoOrient() {
    if (!hasPhoto()) {
        return;
    }
    const double r = static_cast<double>(m_photoHeight) / static_cast<double>(m_photoWidth);
    m_frameRotated = (r < 1.0 && m_ratio > 1.0) || (r > 1.0 && m_ratio < 1.0);
}

void FrameGeometry::moveFrameX(int d) {
    m_offsetX += d;
    clampFrame();
}

void FrameGeometry::moveFrameY(int d) {
    m_offsetY += d;
    clampFrame();
}

void FrameGeometry::zoomFrame(int d) {
    const QRect frame = frameRect(false);
    const int64_t twice = 2 * static_cast<int64_t>(d);
    if (frame.height() > twice && frame.width() > twice) {
        m_shrink += d;
    }
    m_shrink = std::max(m_shrink, 0);
    clampFrame();
}

void FrameGeometry::clampFrame() {
    // Both rectangles are taken once: each test below compares against the same frame.
    // right() and bottom() are the last pixel inside, one less than the edge; only their
    // differences count here, which are the same.
    const QRect image = imageRect();
    const QRect frame = frameRect(false);
    if (frame.left() < image.left()) {
        m_offsetX += image.left() - frame.left();
    }
    if (frame.right() > image.right()) {
        m_offsetX += image.right() - frame.right();
    }
    if (frame.bottom() > image.bottom()) {
        m_offsetY += image.bottom() - frame.bottom();
    }
    if (frame.top() < image.top()) {
        m_offsetY += image.top() - frame.top();
    }
}

void FrameGeometry::rotateFrame() {
    m_frameRotated = !m_frameRotated;
    clampFrame();
}
