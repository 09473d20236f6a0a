#include "engine/Photo.h"

#include "engine/JpegCodec.h"
#include "engine/PixelEdits.h"
#include "engine/ResultMetadata.h"
#include "metadata/JpegHeader.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr unsigned char kApp0 = 0xE0;

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

ResultMetadata resultMetadata(const Photo& photo) {
    return ResultMetadata::of(photo.exif(), photo.metadata(), photo.image().size(), photo.dpiX(),
                              photo.dpiY());
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

std::optional<Photo> Photo::fromJpeg(const QByteArray& jpeg, int scaleDenominator,
                                     JpegDecodeError* error) {
    JpegDecodeResult decoded = JpegCodec::decode(jpeg, scaleDenominator);
    if (error != nullptr)
        *error = decoded.error;
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
        m_image = PixelEdits::turnedLeft(m_image);
}

void Photo::rotateRight() {
    if (!isNull())
        m_image = PixelEdits::turnedRight(m_image);
}

void Photo::flipHorizontal() {
    if (!isNull())
        PixelEdits::mirrorHorizontally(m_image);
}

void Photo::flipVertical() {
    if (!isNull())
        PixelEdits::mirrorVertically(m_image);
}

void Photo::toGrayscale() {
    if (!isNull())
        PixelEdits::applyTint(m_image, kGrayTint);
}

void Photo::toSepia() {
    if (!isNull())
        PixelEdits::applyTint(m_image, kSepiaTint);
}

void Photo::applyOrientation(int orientation) {
    switch (orientation) {
    case 2:
        flipHorizontal();
        break;
    case 3: // a half turn
        flipHorizontal();
        flipVertical();
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
    const ResultMetadata metadata = resultMetadata(*this);
    return JpegCodec::encode(m_image, quality, metadata.exifPayload, m_dpiX, m_dpiY,
                             metadata.segments);
}

bool Photo::saveJpeg(const std::string& path, int quality) const {
    if (isNull())
        return false;
    // Encoded straight into the file: no copy of the whole file is held in memory first.
    const ResultMetadata metadata = resultMetadata(*this);
    return JpegCodec::encodeFile(path, m_image, quality, metadata.exifPayload, m_dpiX, m_dpiY,
                                 metadata.segments);
}

NewFileOutcome Photo::saveNewJpeg(const std::string& path, int quality) const {
    if (isNull())
        return NewFileOutcome::Failed;
    const ResultMetadata metadata = resultMetadata(*this);
    return JpegCodec::encodeNewFile(path, m_image, quality, metadata.exifPayload, m_dpiX, m_dpiY,
                                    metadata.segments);
}
