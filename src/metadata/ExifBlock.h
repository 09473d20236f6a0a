#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

// The EXIF data of a photo as raw TIFF-structured bytes, the content of a JPEG APP1
// "Exif" segment after its "Exif\0\0" header. A plain value: copying it copies the
// metadata. Every query parses the bytes anew and treats damaged data as absent.
class ExifBlock {
public:
    // Tags read or rewritten by the program.
    static constexpr std::uint16_t kTagOrientation = 0x0112;
    static constexpr std::uint16_t kTagDateTimeOriginal = 0x9003;
    static constexpr std::uint16_t kTagPixelXDimension = 0xA002;
    static constexpr std::uint16_t kTagPixelYDimension = 0xA003;

    ExifBlock() = default;
    // tiff starts with the TIFF header ("II*\0" or "MM\0*"); it is not checked here.
    explicit ExifBlock(QByteArray tiff) : m_tiff(std::move(tiff)) {}

    // The EXIF data of a JPEG held in memory (the first APP1 "Exif" segment before the
    // scan); an empty block when there is none or the markers are broken.
    [[nodiscard]] static ExifBlock fromJpeg(const QByteArray& jpeg);
    // The EXIF data of an image file, reading its header only (never its pixels). An
    // empty block for a readable file without EXIF; nothing when the file cannot be read
    // or its metadata cannot be parsed.
    [[nodiscard]] static std::optional<ExifBlock> fromFile(const std::string& path);

    [[nodiscard]] bool isEmpty() const { return m_tiff.isEmpty(); }
    [[nodiscard]] const QByteArray& tiffBytes() const { return m_tiff; }
    // The APP1 segment content: "Exif\0\0" then the TIFF bytes; empty for an empty block.
    [[nodiscard]] QByteArray app1Payload() const;

    // Orientation tag (1 to 8) of the main image; nothing when absent, unreadable or out
    // of range.
    [[nodiscard]] std::optional<int> orientation() const;
    // X and Y resolution in dots per inch (converted from dots per centimetre); nothing
    // when absent, without an absolute unit, or not above 0.
    [[nodiscard]] std::optional<std::pair<double, double>> resolution() const;
    // Text of an ASCII tag of the main image or its EXIF sub-folder, up to its first NUL;
    // nothing when absent or stored with another type.
    [[nodiscard]] std::optional<std::string> asciiTag(std::uint16_t tag) const;

    // This block with its Orientation tag set to 1 (upright), or nothing when it cannot
    // be rewritten. An empty block stays empty.
    [[nodiscard]] std::optional<ExifBlock> upright() const;
    // The block to write into a result of width x height photo pixels: a new structure
    // with the main image's tags only (no thumbnail, no maker note, no further images,
    // no damaged entries), Orientation 1, the pixel-size tags set to the result's size,
    // resolution in dots per inch when both values are above 0; sized to fit one APP1
    // segment. Nothing when that cannot be done. An empty block stays empty.
    [[nodiscard]] std::optional<ExifBlock> forResult(int width, int height, double dpiX = 0.0,
                                                     double dpiY = 0.0) const;

    friend bool operator==(const ExifBlock&, const ExifBlock&) = default;

private:
    QByteArray m_tiff;
};
