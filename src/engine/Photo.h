#pragma once

#include "engine/ExifBlock.h"

#include <QByteArray>
#include <QImage>
#include <optional>
#include <string>

// A photo as the program holds it: a private 24-bit RGB copy of the pixels, the EXIF data
// of its file, and its resolution in dots per inch. Holds no display state.
class Photo {
public:
    // Resolution of every new bitmap, in dots per inch.
    static constexpr double kDefaultDpi = 96.0;

    Photo() = default;
    // image is converted to Format_RGB888 when it has another format.
    explicit Photo(QImage image, ExifBlock exif = {}, double dpiX = kDefaultDpi,
                   double dpiY = kDefaultDpi);

    // Reads the file once, decodes it and takes its EXIF data from the same bytes, then
    // turns the pixels upright as the EXIF Orientation asks and sets that tag to 1. The
    // file's own resolution is not carried over: the photo gets kDefaultDpi. Nothing when
    // the file cannot be read or decoded.
    [[nodiscard]] static std::optional<Photo> Load(const std::string& path);
    // The same from JPEG bytes already in memory.
    [[nodiscard]] static std::optional<Photo> FromJpeg(const QByteArray& jpeg);

    [[nodiscard]] bool IsNull() const { return image_.isNull(); }
    [[nodiscard]] int Width() const { return image_.width(); }
    [[nodiscard]] int Height() const { return image_.height(); }
    [[nodiscard]] const QImage& Image() const { return image_; }
    // Replaces the pixels (converted to Format_RGB888); EXIF data and resolution stay.
    void SetImage(QImage image);

    [[nodiscard]] const ExifBlock& Exif() const { return exif_; }
    void SetExif(ExifBlock exif) { exif_ = std::move(exif); }

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

    // Copies every EXIF property of source onto target.
    static void CopyProperties(const Photo& source, Photo& target);

    // The photo as a JPEG file's bytes at quality 0..100, carrying its EXIF data (made to
    // fit the result: upright, pixel size updated, no thumbnail) and its resolution. A
    // block that cannot be rewritten is left out rather than written stale.
    [[nodiscard]] std::optional<QByteArray> EncodeJpeg(int quality) const;
    // EncodeJpeg, then a safe write to path (an earlier file there stays untouched on
    // failure).
    [[nodiscard]] bool SaveJpeg(const std::string& path, int quality) const;

private:
    QImage image_;
    ExifBlock exif_;
    double dpiX_ = kDefaultDpi;
    double dpiY_ = kDefaultDpi;
};
