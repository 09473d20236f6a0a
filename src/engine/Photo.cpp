#include "engine/Photo.h"

#include "engine/JpegCodec.h"
#include "metadata/JpegHeader.h"

#include <QTransform>
#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr unsigned char kApp0 = 0xE0;

// A 5 x 5 colour matrix applied to the row vector (R, G, B, A, 1), channels in 0..1.
using ColorMatrix = float[5][5];

constexpr ColorMatrix kGrayscale = {
    {0.299f, 0.299f, 0.299f, 0.0f, 0.0f}, {0.587f, 0.587f, 0.587f, 0.0f, 0.0f},
    {0.114f, 0.114f, 0.114f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 1.0f, 0.0f},
    {0.0f, 0.0f, 0.0f, 0.0f, 1.0f},
};

constexpr ColorMatrix kSepia = {
    {0.299f, 0.299f, 0.299f, 0.0f, 0.0f}, {0.587f, 0.587f, 0.587f, 0.0f, 0.0f},
    {0.114f, 0.114f, 0.114f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 1.0f, 0.0f},
    {0.15f, 0.0f, -0.1f, 0.0f, 1.0f},
};

// Works on 0..255 values: the offset row is scaled to full scale, and the pixels are
// opaque (alpha 1), so the alpha row adds its own entries as offsets too.
void applyColorMatrix(QImage& image, const ColorMatrix& m) {
    float offset[3];
    for (int c = 0; c < 3; ++c)
        offset[c] = 255.0f * (m[3][c] + m[4][c]) + 0.5f; // + 0.5: round on truncation
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        uchar* p = image.scanLine(y);
        for (int x = 0; x < width; ++x, p += 3) {
            const float r = p[0];
            const float g = p[1];
            const float b = p[2];
            for (int c = 0; c < 3; ++c) {
                const float v = r * m[0][c] + g * m[1][c] + b * m[2][c] + offset[c];
                p[c] = static_cast<uchar>(std::clamp(v, 0.0f, 255.0f));
            }
        }
    }
}

// The density of a JFIF APP0 segment in dots per inch; nothing without an absolute unit.
std::optional<std::pair<double, double>> jfifResolution(const QByteArray& jpeg) {
    for (const JpegSegment& segment : JpegHeader::segments(jpeg)) {
        if (segment.marker != kApp0 || !segment.starts(jpeg, "JFIF") || segment.length < 12)
            continue;
        const QByteArrayView jfif = segment.payload(jpeg);
        const int units = static_cast<unsigned char>(jfif[7]);
        const double x =
            (static_cast<unsigned char>(jfif[8]) << 8) | static_cast<unsigned char>(jfif[9]);
        const double y =
            (static_cast<unsigned char>(jfif[10]) << 8) | static_cast<unsigned char>(jfif[11]);
        const double perInch = units == 1 ? 1.0 : units == 2 ? 2.54 : 0.0;
        if (perInch == 0.0 || x <= 0.0 || y <= 0.0)
            return std::nullopt;
        return std::pair{x * perInch, y * perInch};
    }
    return std::nullopt;
}

QImage rotated(const QImage& image, qreal degrees) {
    return image.transformed(QTransform().rotate(degrees));
}

} // namespace

Photo::Photo(QImage image, ExifBlock exif, double dpiX, double dpiY) : m_exif(std::move(exif)) {
    setImage(std::move(image));
    setResolution(dpiX, dpiY);
}

std::optional<Photo> Photo::load(const std::string& path) {
    const std::optional<QByteArray> bytes = JpegCodec::readFile(path);
    if (!bytes)
        return std::nullopt;
    return fromJpeg(*bytes);
}

std::optional<QSize> Photo::uprightSize(const QByteArray& jpeg) {
    std::optional<QSize> size = JpegCodec::headerSize(jpeg);
    const std::optional<int> orientation = ExifBlock::fromJpeg(jpeg).orientation();
    if (size && orientation && *orientation >= 5 && *orientation <= 8)
        size->transpose();
    return size;
}

std::optional<Photo> Photo::fromJpeg(const QByteArray& jpeg, int scaleDenominator) {
    JpegDecodeResult decoded = JpegCodec::decode(jpeg, scaleDenominator);
    if (!decoded.ok())
        return std::nullopt;
    Photo photo;
    photo.m_image = std::move(decoded.image);
    photo.m_exif = ExifBlock::fromJpeg(jpeg);
    photo.m_metadata = MetadataSegments::fromJpeg(jpeg);
    if (const auto dpi = photo.m_exif.resolution())
        photo.setResolution(dpi->first, dpi->second);
    else if (const auto jfif = jfifResolution(jpeg))
        photo.setResolution(jfif->first, jfif->second);
    const std::optional<int> orientation = photo.m_exif.orientation();
    if (orientation && *orientation != 1) {
        photo.applyOrientation(*orientation);
        // A block still asking for a turn would have viewers turn the result twice.
        photo.m_exif = photo.m_exif.upright().value_or(ExifBlock());
    }
    return photo;
}

void Photo::setImage(QImage image) {
    if (!image.isNull() && image.format() != QImage::Format_RGB888)
        image = image.convertToFormat(QImage::Format_RGB888);
    m_image = std::move(image);
}

Photo Photo::withImage(QImage image, double dpiX, double dpiY) const {
    Photo result(std::move(image), m_exif, dpiX, dpiY);
    result.m_metadata = m_metadata;
    return result;
}

void Photo::setResolution(double dpiX, double dpiY) {
    if (std::isfinite(dpiX) && dpiX > 0.0)
        m_dpiX = dpiX;
    if (std::isfinite(dpiY) && dpiY > 0.0)
        m_dpiY = dpiY;
}

void Photo::rotateLeft() {
    if (!isNull())
        m_image = rotated(m_image, 270.0);
}

void Photo::rotateRight() {
    if (!isNull())
        m_image = rotated(m_image, 90.0);
}

void Photo::flipHorizontal() {
    if (!isNull())
        m_image = m_image.mirrored(true, false);
}

void Photo::flipVertical() {
    if (!isNull())
        m_image = m_image.mirrored(false, true);
}

void Photo::toGrayscale() {
    if (!isNull())
        applyColorMatrix(m_image, kGrayscale);
}

void Photo::toSepia() {
    if (!isNull())
        applyColorMatrix(m_image, kSepia);
}

void Photo::applyOrientation(int orientation) {
    switch (orientation) {
    case 2:
        flipHorizontal();
        break;
    case 3:
        if (!isNull())
            m_image = m_image.mirrored(true, true); // a half turn
        break;
    case 4:
        flipVertical();
        break;
    case 5: // stored transposed
        rotateRight();
        flipHorizontal();
        break;
    case 6:
        rotateRight();
        break;
    case 7: // stored transposed across the other diagonal
        rotateRight();
        flipVertical();
        break;
    case 8:
        rotateLeft();
        break;
    default:
        break;
    }
}

void Photo::copyProperties(const Photo& source, Photo& target) {
    target.m_exif = source.m_exif;
    target.m_metadata = source.m_metadata;
}

std::optional<QByteArray> Photo::encodeJpeg(int quality) const {
    if (isNull())
        return std::nullopt;
    const ExifBlock exif =
        m_exif.forResult(width(), height(), m_dpiX, m_dpiY).value_or(ExifBlock());
    return JpegCodec::encode(m_image, quality, exif.app1Payload(), m_dpiX, m_dpiY,
                             m_metadata.forResult(width(), height(), m_dpiX, m_dpiY));
}

bool Photo::saveJpeg(const std::string& path, int quality) const {
    const std::optional<QByteArray> bytes = encodeJpeg(quality);
    return bytes && JpegCodec::writeFileSafely(path, *bytes);
}
