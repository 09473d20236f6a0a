#pragma once

#include "engine/JpegCodec.h"
#include "metadata/ExifBlock.h"
#include "metadata/MetadataSegments.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <optional>
#include <string>

// A photo as the program holds it: a private 24-bit RGB copy of the pixels, the metadata
// of its file (EXIF, ICC profile, XMP, IPTC), and its resolution in dots per inch. Holds
// no display state.
class Photo {
public:
    // Resolution of every new bitmap, in dots per inch.
    static constexpr double kDefaultDpi = 96.0;

    Photo() = default;
    // image is converted to Format_RGB888 when it has another format.
    explicit Photo(QImage image, ExifBlock exif = {}, double dpiX = kDefaultDpi,
                   double dpiY = kDefaultDpi);

    // Reads the file once, decodes it and takes its metadata from the same bytes, then
    // turns the pixels upright as the EXIF Orientation asks and sets that tag to 1. The
    // resolution is the file's (EXIF, else JFIF), else kDefaultDpi. Nothing when the file
    // cannot be read or decoded.
    [[nodiscard]] static std::optional<Photo> load(const std::string& path);
    // The same from JPEG bytes already in memory. scaleDenominator 2, 4 or 8 gives a
    // reduced copy for a first display (JpegCodec::decode); metadata and resolution are the
    // full photo's. error, when given, gets why the decode was refused (None otherwise).
    [[nodiscard]] static std::optional<Photo>
    fromJpeg(const QByteArray& jpeg, int scaleDenominator = 1, JpegDecodeError* error = nullptr);
    // Width and height in photo pixels of the photo these bytes decode to, upright (the
    // header's size, sides swapped for an EXIF orientation of 5 to 8); nothing without a
    // readable header.
    [[nodiscard]] static std::optional<QSize> uprightSize(const QByteArray& jpeg);

    [[nodiscard]] bool isNull() const { return m_image.isNull(); }
    [[nodiscard]] int width() const { return m_image.width(); }
    [[nodiscard]] int height() const { return m_image.height(); }
    [[nodiscard]] const QImage& image() const { return m_image; }
    // Replaces the pixels (converted to Format_RGB888); metadata and resolution stay.
    void setImage(QImage image);
    // A new photo of these pixels and resolution with this photo's metadata: a crop, a
    // bordered crop or a sheet made from it.
    [[nodiscard]] Photo withImage(QImage image, double dpiX, double dpiY) const;

    [[nodiscard]] const ExifBlock& exif() const { return m_exif; }
    void setExif(ExifBlock exif) { m_exif = std::move(exif); }
    [[nodiscard]] const MetadataSegments& metadata() const { return m_metadata; }

    [[nodiscard]] double dpiX() const { return m_dpiX; }
    [[nodiscard]] double dpiY() const { return m_dpiY; }
    void setResolution(double dpiX, double dpiY);

    // In-place edits of the pixels; each does nothing on a null photo.
    void rotateLeft();     // a quarter turn counter-clockwise
    void rotateRight();    // a quarter turn clockwise
    void flipHorizontal(); // mirror left-right
    void flipVertical();   // mirror top-bottom
    void toGrayscale();    // luminance 0.299 R + 0.587 G + 0.114 B in all three channels
    void toSepia();        // the same luminance, red raised by 15 %, blue lowered by 10 %

    // Turns and flips the pixels so that a photo stored with this EXIF orientation (1 to
    // 8) comes out upright; other values change nothing.
    void applyOrientation(int orientation);

    // Copies every metadata property of source onto target.
    static void copyProperties(const Photo& source, Photo& target);

    // The photo as a JPEG file's bytes at quality 0..100, carrying its metadata made to fit
    // the result (upright, pixel size and resolution updated, nothing of the uncropped
    // photo) and its resolution. A part that cannot be rewritten is left out rather than
    // written stale.
    [[nodiscard]] std::optional<QByteArray> encodeJpeg(int quality) const;
    // EncodeJpeg, then a safe write to path (an earlier file there stays untouched on
    // failure).
    [[nodiscard]] bool saveJpeg(const std::string& path, int quality) const;
    // The same, but a file already at path is never replaced (JpegCodec::encodeNewFile).
    [[nodiscard]] NewFileOutcome saveNewJpeg(const std::string& path, int quality) const;

private:
    QImage m_image;
    ExifBlock m_exif;
    MetadataSegments m_metadata;
    double m_dpiX = kDefaultDpi;
    double m_dpiY = kDefaultDpi;
};
