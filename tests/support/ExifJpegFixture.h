#pragma once

// Small JPEG files for tests and benchmarks, with or without an EXIF DateTimeOriginal,
// written without any photo library so the fixtures do not depend on the code under test.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <fstream>
#include <string>
#include <utility>

namespace fixture {

inline QByteArray smallJpeg() {
    QImage image(16, 12, QImage::Format_RGB888);
    image.fill(QColor(120, 160, 200));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 80);
    return bytes;
}

// APP1 segment holding IFD0 -> Exif IFD -> 0x9003 DateTimeOriginal = date (19 characters).
inline QByteArray exifSegment(const std::string& date) {
    const auto dateBytes = static_cast<unsigned>(date.size() + 1);
    // Little-endian (value, byte count) pairs: IFD0 at 8 with one entry, the Exif IFD pointer
    // (to 26); the Exif IFD at 26 with one entry, DateTimeOriginal as ASCII, its text at 44.
    const std::pair<unsigned, int> fields[] = {
        {8, 4}, {1, 2},      {0x8769, 2}, {4, 2},         {1, 4},  {26, 4}, {0, 4},
        {1, 2}, {0x9003, 2}, {2, 2},      {dateBytes, 4}, {44, 4}, {0, 4}};
    QByteArray tiff("II*\0", 4);
    for (const auto& [value, size] : fields) {
        for (int i = 0; i < size; ++i) {
            tiff.append(static_cast<char>((value >> (8 * i)) & 0xFF));
        }
    }
    tiff.append(date.c_str(), static_cast<qsizetype>(dateBytes));
    const int length = 2 + 6 + static_cast<int>(tiff.size());
    QByteArray segment("\xFF\xE1", 2);
    segment.append(char(length >> 8)).append(char(length & 0xFF)).append("Exif\0\0", 6);
    return segment + tiff;
}

// Writes a JPEG at path; date "YYYY:MM:DD HH:MM:SS" or empty for no EXIF. tail is
// appended after the image data (readers ignore it), to tell files apart.
inline bool writeJpeg(const std::string& path, const std::string& date,
                      const std::string& tail = {}) {
    static const QByteArray kJpeg = smallJpeg();
    QByteArray bytes = kJpeg;
    if (!date.empty()) {
        bytes.insert(2, exifSegment(date));
    }
    bytes.append(tail.c_str(), static_cast<qsizetype>(tail.size()));
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.constData(), bytes.size());
    return static_cast<bool>(out);
}

inline std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace fixture
