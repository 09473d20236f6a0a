#include "engine/PhotoFixtures.h"

#include "engine/JpegCodec.h"

#include <QFile>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>

namespace fixtures {

QImage Gradient(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar* p = image.scanLine(y);
        for (int x = 0; x < width; ++x, p += 3) {
            p[0] = static_cast<uchar>(width > 1 ? x * 255 / (width - 1) : 0);
            p[1] = static_cast<uchar>(height > 1 ? y * 255 / (height - 1) : 0);
            p[2] = 100;
        }
    }
    return image;
}

QImage Quadrants(int width, int height, QColor topLeft, QColor topRight, QColor bottomLeft,
                 QColor bottomRight) {
    QImage image(width, height, QImage::Format_RGB888);
    QPainter painter(&image);
    const int halfW = width / 2;
    const int halfH = height / 2;
    painter.fillRect(0, 0, halfW, halfH, topLeft);
    painter.fillRect(halfW, 0, width - halfW, halfH, topRight);
    painter.fillRect(0, halfH, halfW, height - halfH, bottomLeft);
    painter.fillRect(halfW, halfH, width - halfW, height - halfH, bottomRight);
    return image;
}

QByteArray Jpeg(const QImage& image, int quality) {
    const std::optional<QByteArray> bytes = JpegCodec::Encode(image, quality);
    if (!bytes)
        throw std::runtime_error("test fixture: encoding failed");
    return *bytes;
}

QByteArray WithExif(const QByteArray& jpeg, const ExifFields& fields) {
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(
        reinterpret_cast<const Exiv2::byte*>(jpeg.constData()), static_cast<long>(jpeg.size()));
    image->readMetadata();
    Exiv2::ExifData data;
    if (fields.orientation)
        data["Exif.Image.Orientation"] = static_cast<uint16_t>(*fields.orientation);
    if (!fields.make.empty())
        data["Exif.Image.Make"] = fields.make;
    if (!fields.model.empty())
        data["Exif.Image.Model"] = fields.model;
    if (fields.dateTimeOriginal)
        data["Exif.Photo.DateTimeOriginal"] = *fields.dateTimeOriginal;
    if (fields.dateTimeOriginalAsShort)
        data["Exif.Photo.DateTimeOriginal"] =
            static_cast<uint16_t>(*fields.dateTimeOriginalAsShort);
    if (fields.dpi) {
        const auto dpi = static_cast<uint32_t>(*fields.dpi);
        data["Exif.Image.XResolution"] = Exiv2::URational(dpi, 1);
        data["Exif.Image.YResolution"] = Exiv2::URational(dpi, 1);
        data["Exif.Image.ResolutionUnit"] = uint16_t{2};
    }
    data["Exif.Photo.PixelXDimension"] = uint32_t{1};
    if (fields.thumbnail) {
        const QByteArray thumb = Jpeg(Gradient(16, 12), 80);
        Exiv2::ExifThumb(data).setJpegThumbnail(
            reinterpret_cast<const Exiv2::byte*>(thumb.constData()),
            static_cast<long>(thumb.size()));
    }
    image->setExifData(data);
    image->writeMetadata();
    Exiv2::BasicIo& io = image->io();
    io.seek(0, Exiv2::BasicIo::beg);
    const Exiv2::DataBuf buf = io.read(static_cast<long>(io.size()));
    return QByteArray(reinterpret_cast<const char*>(buf.pData_), buf.size_);
}

QByteArray WithRawExif(const QByteArray& jpeg, const QByteArray& tiff) {
    QByteArray payload("Exif\0\0", 6);
    payload.append(tiff);
    const int length = static_cast<int>(payload.size()) + 2;
    QByteArray out = jpeg.left(2);
    out.append(char(0xFF));
    out.append(char(0xE1));
    out.append(char(length >> 8));
    out.append(char(length & 0xFF));
    out.append(payload);
    out.append(jpeg.mid(2));
    return out;
}

std::map<std::string, std::string> ReadExifKeys(const std::string& path) {
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path, false);
    image->readMetadata();
    std::map<std::string, std::string> keys;
    for (const Exiv2::Exifdatum& datum : image->exifData())
        keys[datum.key()] = datum.toString();
    return keys;
}

bool WriteFile(const std::string& path, const QByteArray& bytes) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

int ColorDistance(QColor a, QColor b) {
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                     std::abs(a.blue() - b.blue())});
}

} // namespace fixtures

#pragma GCC diagnostic pop
