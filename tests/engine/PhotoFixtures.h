#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Builders of test photos: pixel patterns whose origin a test can tell, JPEG bytes with
// EXIF written by Exiv2, and files in temporary folders.
namespace fixtures {

// Red grows left to right, green top to bottom, blue is fixed: every pixel tells where it
// came from.
[[nodiscard]] QImage Gradient(int width, int height);

// Four flat quadrants of the given colours (top-left, top-right, bottom-left,
// bottom-right).
[[nodiscard]] QImage Quadrants(int width, int height, QColor topLeft, QColor topRight,
                               QColor bottomLeft, QColor bottomRight);

// Plain JPEG bytes of image at quality 100, without metadata.
[[nodiscard]] QByteArray Jpeg(const QImage& image, int quality = 100);

struct ExifFields {
    std::optional<int> orientation;
    std::optional<std::string> dateTimeOriginal; // written as ASCII
    std::optional<int> dateTimeOriginalAsShort;  // the same tag with the wrong type
    std::string make;
    std::string model;
    bool thumbnail = false; // an embedded IFD1 thumbnail
    std::optional<double> dpi;
};

// The TIFF-structured EXIF bytes of fields, encoded by Exiv2.
[[nodiscard]] QByteArray RawTiff(const ExifFields& fields);

// jpeg with its EXIF data replaced by fields, written by Exiv2.
[[nodiscard]] QByteArray WithExif(const QByteArray& jpeg, const ExifFields& fields);

// jpeg with an APP1 "Exif" segment holding tiff, inserted right after SOI as is.
[[nodiscard]] QByteArray WithRawExif(const QByteArray& jpeg, const QByteArray& tiff);

// Every EXIF tag of a file as Exiv2 reads it: key -> value text.
[[nodiscard]] std::map<std::string, std::string> ReadExifKeys(const std::string& path);

// A hand-made block too large for one APP1 segment: Make "Lumicam", DateTimeOriginal
// 2006:07:14 10:20:30, Orientation 6 and a user comment of commentBytes bytes.
[[nodiscard]] QByteArray OversizedTiff(int commentBytes);

// Damaged or hostile EXIF blocks (TIFF bytes), each with a name saying what is wrong.
struct HostileExif {
    const char* name;
    QByteArray tiff;
};
[[nodiscard]] std::vector<HostileExif> HostileExifBlocks();

bool WriteFile(const std::string& path, const QByteArray& bytes);

// Largest channel difference between two colours.
[[nodiscard]] int ColorDistance(QColor a, QColor b);

} // namespace fixtures
