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
void ApplyColorMatrix(QImage& image, const ColorMatrix& m) {
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
std::optional<std::pair<double, double>> JfifResolution(const QByteArray& jpeg) {
    for (const JpegSegment& segment : JpegHeader::Segments(jpeg)) {
        if (segment.marker != kApp0 || !segment.Starts(jpeg, "JFIF") || segment.length < 12)
            continue;
        const QByteArrayView jfif = segment.Payload(jpeg);
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

QImage Rotated(const QImage& image, qreal degrees) {
    return image.transformed(QTransform().rotate(degrees));
}

} // namespace

Photo::Photo(QImage image, ExifBlock exif, double dpiX, double dpiY) : exif_(std::move(exif)) {
    SetImage(std::move(image));
    SetResolution(dpiX, dpiY);
}

std::optional<Photo> Photo::Load(const std::string& path) {
    const std::optional<QByteArray> bytes = JpegCodec::ReadFile(path);
    if (!bytes)
        return std::nullopt;
    return FromJpeg(*bytes);
}

std::optional<Photo> Photo::FromJpeg(const QByteArray& jpeg) {
    JpegDecodeResult decoded = JpegCodec::Decode(jpeg);
    if (!decoded.Ok())
        return std::nullopt;
    Photo photo;
    photo.image_ = std::move(decoded.image);
    photo.exif_ = ExifBlock::FromJpeg(jpeg);
    photo.metadata_ = MetadataSegments::FromJpeg(jpeg);
    if (const auto dpi = photo.exif_.Resolution())
        photo.SetResolution(dpi->first, dpi->second);
    else if (const auto jfif = JfifResolution(jpeg))
        photo.SetResolution(jfif->first, jfif->second);
    const std::optional<int> orientation = photo.exif_.Orientation();
    if (orientation && *orientation != 1) {
        photo.ApplyOrientation(*orientation);
        // A block still asking for a turn would have viewers turn the result twice.
        photo.exif_ = photo.exif_.Upright().value_or(ExifBlock());
    }
    return photo;
}

void Photo::SetImage(QImage image) {
    if (!image.isNull() && image.format() != QImage::Format_RGB888)
        image = image.convertToFormat(QImage::Format_RGB888);
    image_ = std::move(image);
}

Photo Photo::WithImage(QImage image, double dpiX, double dpiY) const {
    Photo result(std::move(image), exif_, dpiX, dpiY);
    result.metadata_ = metadata_;
    return result;
}

void Photo::SetResolution(double dpiX, double dpiY) {
    if (std::isfinite(dpiX) && dpiX > 0.0)
        dpiX_ = dpiX;
    if (std::isfinite(dpiY) && dpiY > 0.0)
        dpiY_ = dpiY;
}

void Photo::RotateLeft() {
    if (!IsNull())
        image_ = Rotated(image_, 270.0);
}

void Photo::RotateRight() {
    if (!IsNull())
        image_ = Rotated(image_, 90.0);
}

void Photo::FlipHorizontal() {
    if (!IsNull())
        image_ = image_.mirrored(true, false);
}

void Photo::FlipVertical() {
    if (!IsNull())
        image_ = image_.mirrored(false, true);
}

void Photo::ToGrayscale() {
    if (!IsNull())
        ApplyColorMatrix(image_, kGrayscale);
}

void Photo::ToSepia() {
    if (!IsNull())
        ApplyColorMatrix(image_, kSepia);
}

void Photo::ApplyOrientation(int orientation) {
    switch (orientation) {
    case 2:
        FlipHorizontal();
        break;
    case 3:
        if (!IsNull())
            image_ = image_.mirrored(true, true); // a half turn
        break;
    case 4:
        FlipVertical();
        break;
    case 5: // stored transposed
        RotateRight();
        FlipHorizontal();
        break;
    case 6:
        RotateRight();
        break;
    case 7: // stored transposed across the other diagonal
        RotateRight();
        FlipVertical();
        break;
    case 8:
        RotateLeft();
        break;
    default:
        break;
    }
}

void Photo::CopyProperties(const Photo& source, Photo& target) {
    target.exif_ = source.exif_;
    target.metadata_ = source.metadata_;
}

std::optional<QByteArray> Photo::EncodeJpeg(int quality) const {
    if (IsNull())
        return std::nullopt;
    const ExifBlock exif = exif_.ForResult(Width(), Height(), dpiX_, dpiY_).value_or(ExifBlock());
    return JpegCodec::Encode(image_, quality, exif.App1Payload(), dpiX_, dpiY_,
                             metadata_.ForResult(Width(), Height(), dpiX_, dpiY_));
}

bool Photo::SaveJpeg(const std::string& path, int quality) const {
    const std::optional<QByteArray> bytes = EncodeJpeg(quality);
    return bytes && JpegCodec::WriteFileSafely(path, *bytes);
}
