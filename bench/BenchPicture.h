#pragma once

#include <QImage>
#include <exiv2/exiv2.hpp>
#include <optional>
#include <string>

// The photo the benchmarks work on: 6000 x 4000 pixels of smooth gradients with fine
// texture, so the JPEG coder has real work.
inline constexpr int kPhotoWidth = 6000;
inline constexpr int kPhotoHeight = 4000;

inline QImage makePicture() {
    QImage image(kPhotoWidth, kPhotoHeight, QImage::Format_RGB888);
    for (int y = 0; y < kPhotoHeight; ++y) {
        uchar* p = image.scanLine(y);
        for (int x = 0; x < kPhotoWidth; ++x, p += 3) {
            const int grain = ((x * 7 + y * 13) ^ (x * y)) & 15;
            p[0] = static_cast<uchar>(x * 200 / kPhotoWidth + grain);
            p[1] = static_cast<uchar>(y * 200 / kPhotoHeight + grain);
            p[2] = static_cast<uchar>(((x + y) & 127) + grain);
        }
    }
    return image;
}

// Gives the photo at path the camera fields a result keeps (make, model, shot date); the
// error text when Exiv2 could not write them.
inline std::optional<std::string> addCameraExif(const std::string& path) {
    try {
        auto image = Exiv2::ImageFactory::open(path);
        image->readMetadata();
        Exiv2::ExifData& exif = image->exifData();
        exif["Exif.Image.Make"] = "Lumicam";
        exif["Exif.Image.Model"] = "Bench 6000";
        exif["Exif.Photo.DateTimeOriginal"] = "2006:07:14 10:20:30";
        image->writeMetadata();
    } catch (const Exiv2::AnyError& error) {
        return std::string(error.what());
    }
    return std::nullopt;
}
