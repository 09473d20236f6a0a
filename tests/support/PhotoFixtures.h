#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Builders of test photos: pixel patterns whose origin a test can tell, JPEG bytes with
// EXIF written by Exiv2, and files in temporary folders.
namespace fixtures {

// Red grows left to right, green top to bottom, blue is fixed: every pixel tells where it
// came from.
[[nodiscard]] QImage gradient(int width, int height);

// Plain JPEG bytes of image at quality 100, without metadata.
[[nodiscard]] QByteArray jpeg(const QImage& image, int quality = 100);

// The JPEG TurboJPEG itself makes of pixels (rows of pitch bytes, TJPF_* layout), chroma
// sampled as TJSAMP_* says; empty when it refuses.
[[nodiscard]] QByteArray turboJpeg(const unsigned char* pixels, int width, int height, int pitch,
                                   int pixelFormat, int sampling, int quality);

// An ICC profile of size bytes whose header names the colour space ("RGB ", "CMYK").
[[nodiscard]] QByteArray iccProfile(qsizetype size, const char* colorSpace);

// jpeg with complete marker segments inserted right after its SOI and JFIF segments.
[[nodiscard]] QByteArray withSegments(const QByteArray& jpeg, const QByteArray& segments);

// Written with designated initializers: fields left out stay absent.
struct ExifFields {
    std::optional<int> orientation{};
    std::optional<std::string> dateTimeOriginal{}; // written as ASCII
    std::optional<int> dateTimeOriginalAsShort{};  // the same tag with the wrong type
    std::string make{};
    std::string model{};
    bool thumbnail = false;     // an embedded IFD1 thumbnail
    QByteArray thumbnailJpeg{}; // that thumbnail's bytes, when not the default one
    QByteArray makerNote{};     // raw Exif.Photo.MakerNote bytes
    bool gps = false;           // a GPS folder with a latitude
    std::optional<double> dpi{};
};

// The TIFF-structured EXIF bytes of fields, encoded by Exiv2.
[[nodiscard]] QByteArray rawTiff(const ExifFields& fields);

// jpeg with its EXIF data replaced by fields, written by Exiv2.
[[nodiscard]] QByteArray withExif(const QByteArray& jpeg, const ExifFields& fields);

// jpeg with an APP1 "Exif" segment holding tiff, inserted right after SOI as is.
[[nodiscard]] QByteArray withRawExif(const QByteArray& jpeg, const QByteArray& tiff);

// Every EXIF, IPTC and XMP property of JPEG bytes as Exiv2 reads them, and the ICC profile.
struct ReadBack {
    std::map<std::string, std::string> keys;
    QByteArray iccProfile;
};
[[nodiscard]] ReadBack readMetadata(const QByteArray& jpeg);

// Photoshop image resources holding the IPTC datasets of caption (2:120), keywords
// (2:25, one each) and, when preview is not empty, an object preview (2:202); thumbnail,
// when not empty, is added as a Photoshop thumbnail resource (0x040C).
[[nodiscard]] QByteArray photoshopResources(const std::string& caption,
                                            const std::vector<std::string>& keywords,
                                            const QByteArray& preview, const QByteArray& thumbnail);

// A TIFF block with Make "Lumicam", DateTimeOriginal 2006:07:14 10:20:30 and, between
// them, a Software entry of type 0 that no reader knows.
[[nodiscard]] QByteArray tiffWithTypeZeroEntry();

// A hand-made block too large for one APP1 segment: Make "Lumicam", DateTimeOriginal
// 2006:07:14 10:20:30, Orientation 6 and a user comment of commentBytes bytes.
[[nodiscard]] QByteArray oversizedTiff(int commentBytes);

// Damaged or hostile EXIF blocks (TIFF bytes), each with a name saying what is wrong.
struct HostileExif {
    const char* name;
    QByteArray tiff;
};
[[nodiscard]] std::vector<HostileExif> hostileExifBlocks();

bool writeFile(const std::string& path, const QByteArray& bytes);

// jpeg with its frame header claiming width x height pixels.
QByteArray withDimensions(QByteArray jpeg, int width, int height);
// The names in a folder, sorted (a temporary file left behind shows up whatever its name).
std::vector<std::string> folderEntries(const std::filesystem::path& folder);

// Largest channel difference between two colours.
[[nodiscard]] int colorDistance(QColor a, QColor b);

// Largest channel difference between two RGB888 images of one size, leaving out margin pixels
// at each edge.
[[nodiscard]] int largestDifference(const QImage& a, const QImage& b, int margin = 0);

} // namespace fixtures
