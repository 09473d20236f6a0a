#pragma once

// Small JPEG files for tests and benchmarks, with or without an EXIF DateTimeOriginal,
// written without any photo library so the fixtures do not depend on the code under test.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <fstream>
#include <string>

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

inline void putU16(QByteArray& out, int value) { // little-endian (TIFF "II")
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}

inline void putU32(QByteArray& out, unsigned value) {
    putU16(out, static_cast<int>(value & 0xFFFF));
    putU16(out, static_cast<int>(value >> 16));
}

// APP1 segment holding IFD0 -> Exif IFD -> 0x9003 DateTimeOriginal = date (19 characters).
inline QByteArray exifSegment(const std::string& date) {
    QByteArray tiff("II*\0", 4);
    putU32(tiff, 8);
    // IFD0 at 8: one entry, the Exif IFD pointer.
    putU16(tiff, 1);
    putU16(tiff, 0x8769);
    putU16(tiff, 4);
    putU32(tiff, 1);
    putU32(tiff, 26);
    putU32(tiff, 0);
    // Exif IFD at 26: DateTimeOriginal, ASCII, its text at 44.
    putU16(tiff, 1);
    putU16(tiff, 0x9003);
    putU16(tiff, 2);
    putU32(tiff, static_cast<unsigned>(date.size() + 1));
    putU32(tiff, 44);
    putU32(tiff, 0);
    tiff.append(date.c_str(), static_cast<qsizetype>(date.size() + 1));

    QByteArray segment("\xFF\xE1", 2);
    const int length = 2 + 6 + static_cast<int>(tiff.size());
    segment.append(static_cast<char>(length >> 8));
    segment.append(static_cast<char>(length & 0xFF));
    segment.append("Exif\0\0", 6);
    segment.append(tiff);
    return segment;
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
