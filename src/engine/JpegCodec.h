#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <cstdint>
#include <optional>
#include <string>

// Why a decode was refused.
enum class JpegDecodeError {
    None,
    ReadFailed,    // the file could not be opened or read
    NotJpeg,       // empty data, or no readable JPEG header (PNG, text, cut inside the
                   // header, a side of 0 pixels)
    SideTooLong,   // the header declares a side of JpegCodec::kMaxSide photo pixels or more
    TooManyPixels, // the header declares more than JpegCodec::kMaxPixels pixels in all
    OutOfMemory,   // the pixel buffer could not be allocated
    Corrupt,       // the decoder stopped with a fatal error before the last row
};

// A short English text naming the refusal, for logs and the photo check tool.
[[nodiscard]] const char* describeJpegDecodeError(JpegDecodeError error);

struct JpegDecodeResult {
    QImage image; // Format_RGB888; null unless error is None
    JpegDecodeError error = JpegDecodeError::None;
    // The decoder warned (stray bytes before a marker, damaged or cut-short scan data
    // whose missing part it filled with gray) but wrote every row.
    bool dataWarning = false;
    std::string detail; // the decoder's own text for the first warning or the fatal error

    [[nodiscard]] bool ok() const { return error == JpegDecodeError::None; }
};

// How a write that must not replace an earlier file ended.
enum class NewFileOutcome { Written, TargetExists, Failed };

// JPEG coding through libjpeg-turbo, and the safe writing of result files.
class JpegCodec {
public:
    // Photos with a side of this many photo pixels or more are refused before any
    // allocation; so are photos of more than kMaxPixels pixels (about 1.8 GB in RGB888).
    static constexpr int kMaxSide = 60000;
    static constexpr std::int64_t kMaxPixels = 600'000'000;

    // Decodes JPEG bytes straight into the buffer of a new Format_RGB888 image, through
    // libjpeg's own interface so that every sampling layout the library reads opens. The
    // size limits are applied from the header, before any pixel memory is taken. Warnings
    // are accepted (as photo viewers do); a fatal error at any point refuses the photo, so
    // rows the decoder never wrote are never handed out.
    // scaleDenominator 2, 4 or 8 decodes at that fraction of each side (libjpeg's DCT
    // scaling, sides rounded up), quicker than a full decode by the inverse transforms and
    // colour work saved (Huffman decoding costs the same at every scale). The size limits
    // still apply to the full size. Any other value decodes at full size.
    [[nodiscard]] static JpegDecodeResult decode(const QByteArray& jpeg, int scaleDenominator = 1);
    [[nodiscard]] static JpegDecodeResult decodeFile(const std::string& path);
    // Width and height in photo pixels as the frame header states them (before any EXIF
    // turn); nothing when no frame header can be read.
    [[nodiscard]] static std::optional<QSize> headerSize(const QByteArray& jpeg);
    // The largest reduction (1, 2, 4 or 8) at which a photo of photo pixels, decoded with
    // its sides rounded up as decode does, still has at least the pixels of shown (the size
    // it is displayed at); 1 when shown is empty.
    [[nodiscard]] static int scaleDenominator(QSize photo, QSize shown);

    // Encodes image (converted to RGB888 when it is not) at quality 0..100 (100 the
    // highest; values outside are clamped). exifPayload, when not empty, is the content of
    // the APP1 segment ("Exif\0\0" then the TIFF block) and is placed right after SOI.
    // A dots-per-inch resolution above 0 goes into the JFIF density fields. segments,
    // complete marker segments (ICC profile, XMP, IPTC), follow the EXIF segment as they
    // are.
    [[nodiscard]] static std::optional<QByteArray> encode(const QImage& image, int quality,
                                                          const QByteArray& exifPayload = {},
                                                          double dpiX = 0.0, double dpiY = 0.0,
                                                          const QByteArray& segments = {});

    // Encode, written straight into a temporary file beside path while the encoder runs, then
    // synced and renamed over path as writeFileSafely does: the same bytes as encode gives,
    // without holding the whole file in memory first. False when either part failed; an
    // earlier file at path is then left untouched.
    [[nodiscard]] static bool encodeFile(const std::string& path, const QImage& image, int quality,
                                         const QByteArray& exifPayload = {}, double dpiX = 0.0,
                                         double dpiY = 0.0, const QByteArray& segments = {});

    // EncodeFile that never replaces: a file already at path (or one that appears there while
    // the encoder runs) is left as it is and TargetExists returned; no temporary file stays.
    [[nodiscard]] static NewFileOutcome encodeNewFile(const std::string& path, const QImage& image,
                                                      int quality,
                                                      const QByteArray& exifPayload = {},
                                                      double dpiX = 0.0, double dpiY = 0.0,
                                                      const QByteArray& segments = {});

    // Coded JPEG bytes that another coder wrote (a lossless transform) laid out as encode lays
    // out its files: SOI, a JFIF segment holding dpiX x dpiY dots per inch (no unit when
    // either is not above 0), the APP1 segment of exifPayload when not empty, segments, then
    // the rest of jpeg after its SOI and any JFIF segment right behind it. Nothing when jpeg
    // does not start with SOI or exifPayload does not fit in a segment.
    [[nodiscard]] static std::optional<QByteArray> withMetadata(const QByteArray& jpeg,
                                                                const QByteArray& exifPayload,
                                                                double dpiX, double dpiY,
                                                                const QByteArray& segments);

    // The whole content of a file, or nothing when it cannot be read.
    [[nodiscard]] static std::optional<QByteArray> readFile(const std::string& path);

    // Writes bytes to path through a temporary file in the same folder that is synced and
    // then renamed over path. On any failure the temporary file is removed and whatever
    // was at path before is left untouched.
    [[nodiscard]] static bool writeFileSafely(const std::string& path, const QByteArray& bytes);
    // WriteFileSafely that never replaces, as encodeNewFile.
    [[nodiscard]] static NewFileOutcome writeNewFile(const std::string& path,
                                                     const QByteArray& bytes);
};
