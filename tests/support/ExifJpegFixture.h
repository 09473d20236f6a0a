#pragma once

// Small JPEG files for tests and benchmarks, with or without an EXIF DateTimeOriginal,
// written without any photo library so the fixtures do not depend on the code under test.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace fixture {

// A flat-coloured JPEG made by Qt's own writer, without metadata.
inline QByteArray flatJpeg(int width = 16, int height = 12, QColor colour = QColor(120, 160, 200),
                           int quality = 80) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return image.save(&buffer, "JPG", quality) ? bytes : QByteArray();
}

// Little-endian TIFF pieces.
inline void put16(QByteArray& out, uint16_t v) {
    out.append(char(v & 0xFF));
    out.append(char(v >> 8));
}

inline void put32(QByteArray& out, uint32_t v) {
    put16(out, uint16_t(v & 0xFFFF));
    put16(out, uint16_t(v >> 16));
}

struct TiffEntry {
    uint16_t tag;
    uint16_t type; // 1 byte, 2 ASCII, 3 SHORT, 4 LONG
    uint32_t count;
    uint32_t value; // or the offset of the value
};

// A folder: its entry count, the entries and the next-folder offset.
inline void putFolder(QByteArray& out, const std::vector<TiffEntry>& entries, uint32_t next = 0) {
    put16(out, uint16_t(entries.size()));
    for (const TiffEntry& e : entries) {
        put16(out, e.tag);
        put16(out, e.type);
        put32(out, e.count);
        put32(out, e.value);
    }
    put32(out, next);
}

// "II*\0", then the first folder at offset 8.
inline QByteArray tiff(const std::vector<TiffEntry>& entries, uint32_t next = 0) {
    QByteArray out("II*\0", 4);
    put32(out, 8);
    putFolder(out, entries, next);
    return out;
}

// APP1 segment holding IFD0 -> Exif IFD -> 0x9003 DateTimeOriginal = date (19 characters).
inline QByteArray exifSegment(const std::string& date) {
    const auto dateBytes = static_cast<uint32_t>(date.size() + 1);
    // IFD0 at 8 with one entry, the Exif IFD pointer (to 26); the Exif IFD at 26 with one
    // entry, DateTimeOriginal as ASCII, its text at 44.
    QByteArray exif = tiff({{0x8769, 4, 1, 26}});
    putFolder(exif, {{0x9003, 2, dateBytes, 44}});
    exif.append(date.c_str(), static_cast<qsizetype>(dateBytes));
    const int length = 2 + 6 + static_cast<int>(exif.size());
    QByteArray segment("\xFF\xE1", 2);
    segment.append(char(length >> 8)).append(char(length & 0xFF)).append("Exif\0\0", 6);
    return segment + exif;
}

// Writes jpeg (a small flat one unless given) at path; date "YYYY:MM:DD HH:MM:SS" or empty
// for no EXIF. tail is appended after the image data (readers ignore it), to tell files apart.
inline bool writeJpeg(const std::string& path, const std::string& date,
                      const std::string& tail = {}, const QByteArray& jpeg = {}) {
    static const QByteArray kJpeg = flatJpeg();
    QByteArray bytes = jpeg.isEmpty() ? kJpeg : jpeg;
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
