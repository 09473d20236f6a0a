#pragma once

#include "metadata/ExifBlock.h"
#include "metadata/MetadataSegments.h"

#include <QByteArray>
#include <QImage>
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
    [[nodiscard]] static std::optional<Photo> Load(const std::string& path);
    // The same from JPEG bytes already in memory.
    [[nodiscard]] static std::optional<Photo> FromJpeg(const QByteArray& jpeg);

    [[nodiscard]] bool IsNull() const { return image_.isNull(); }
    [[nodiscard]] int Width() const { return image_.width(); }
    [[nodiscard]] int Height() const { return image_.height(); }
    [[nodiscard]] const QImage& Image() const { return image_; }
    // Replaces the pixels (converted to Format_RGB888); metadata and resolution stay.
    void SetImage(QImage image);
    // A new photo of these pixels and resolution with this photo's metadata: a crop, a
    // bordered crop or a sheet made from it.
    [[nodiscard]] Photo WithImage(QImage image, double dpiX, double dpiY) const;

    [[nodiscard]] const ExifBlock& Exif() const { return exif_; }
    void SetExif(ExifBlock exif) { exif_ = std::move(exif); }
    [[nodiscard]] const MetadataSegments& Metadata() const { return metadata_; }

    [[nodiscard]] double DpiX() const { return dpiX_; }
    [[nodiscard]] double DpiY() const { return dpiY_; }
    void SetResolution(double dpiX, double dpiY);

    // In-place edits of the pixels; each does nothing on a null photo.
    void RotateLeft();     // a quarter turn counter-clockwise
    void RotateRight();    // a quarter turn clockwise
    void FlipHorizontal(); // mirror left-right
    void FlipVertical();   // mirror top-bottom
    void ToGrayscale();    // luminance 0.299 R + 0.587 G + 0.114 B in all three channels
    void ToSepia();        // the same luminance, red raised by 15 %, blue lowered by 10 %

    // Turns and flips the pixels so that a photo stored with this EXIF orientation (1 to
    // 8) comes out upright; other values change nothing.
    void ApplyOrientation(int orientation);

    // Copies every metadata property of source onto target.
    static void CopyProperties(const Photo& source, Photo& target);

    // The photo as a JPEG file's bytes at quality 0..100, carrying its metadata made to fit
    // the result (upright, pixel size and resolution updated, nothing of the uncropped
    // photo) and its resolution. A part that cannot be rewritten is left out rather than
    // written stale.
    [[nodiscard]] std::optional<QByteArray> EncodeJpeg(int quality) const;
    // EncodeJpeg, then a safe write to path (an earlier file there stays untouched on
    // failure).
    [[nodiscard]] bool SaveJpeg(const std::string& path, int quality) const;

private:
    QImage image_;
    ExifBlock exif_;
    MetadataSegments metadata_;
    double dpiX_ = kDefaultDpi;
    double dpiY_ = kDefaultDpi;
};
