#pragma once

#include "engine/JpegCodec.h"

#include <QByteArray>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exiv2/exiv2.hpp>
#include <optional>
#include <string>
#include <turbojpeg.h>
#include <vector>

// The photo the benchmarks work on: 6000 x 4000 pixels of smooth gradients with fine
// texture, so the JPEG coder has real work.
inline constexpr int kPhotoWidth = 6000;
inline constexpr int kPhotoHeight = 4000;

inline QImage makePicture() {
    QImage image(kPhotoWidth, kPhotoHeight, QImage::Format_RGB888);
    for (int y = 0; y < kPhotoHeight; ++y) {
        uchar* p = image.scanLine(y);
        for (int x = 0; x < kPhotoWidth; ++x, p += 3) {
            const int grain = ((x * 7 + y * 13) ^ (x * y)) & 15;
            p[0] = static_cast<uchar>(x * 200 / kPhotoWidth + grain);
            p[1] = static_cast<uchar>(y * 200 / kPhotoHeight + grain);
            p[2] = static_cast<uchar>(((x + y) & 127) + grain);
        }
    }
    return image;
}

// A JPEG as a 24-megapixel camera writes it: smooth light across the picture, moderate
// detail (waves of a few to a hundred pixels) and a little sensor noise, quality 92 with
// the chroma halved both ways (4:2:0), about 6 MB. A noise-like picture would make Huffman
// decoding outweigh everything else and hide what DCT scaling saves on a real photo. Other
// sizes, in photo pixels, for other cameras.
inline QByteArray makeCameraJpeg(int w = kPhotoWidth, int h = kPhotoHeight) {
    // Per-column and per-row waves; a pixel's detail is made of their products.
    std::vector<double> sx(w), cx(w), fineX(w), sy(h), cy(h), fineY(h);
    for (int x = 0; x < w; ++x) {
        sx[x] = std::sin(x * 0.045);
        cx[x] = std::cos(x * 0.021);
        fineX[x] = std::sin(x * 0.31);
    }
    for (int y = 0; y < h; ++y) {
        sy[y] = std::sin(y * 0.037);
        cy[y] = std::cos(y * 0.013);
        fineY[y] = std::sin(y * 0.23);
    }
    QImage image(w, h, QImage::Format_RGB888);
    std::uint32_t seed = 12345;
    for (int y = 0; y < h; ++y) {
        uchar* p = image.scanLine(y);
        const double fy = double(y) / h;
        const double rowR = 90 + 20 * std::sin(fy * 5.0);
        const double rowG = 70 + 120 * fy;
        const double rowB = 160 - 90 * fy;
        for (int x = 0; x < w; ++x, p += 3) {
            const double fx = double(x) / w;
            seed = seed * 1664525u + 1013904223u;
            const int noise = static_cast<int>((seed >> 24) % 13) - 6;
            const double detail =
                18 * sx[x] * sy[y] + 14 * cx[x] * cy[y] + 10 * fineX[x] * fineY[y];
            const auto channel = [&](double value) {
                return static_cast<uchar>(std::clamp(static_cast<int>(value) + noise, 0, 255));
            };
            p[0] = channel(rowR + 110 * fx + detail);
            p[1] = channel(rowG + 15 * std::cos(fx * 7.0) + detail * 0.8);
            p[2] = channel(rowB + 25 * fx + detail * 0.6);
        }
    }
    tjhandle handle = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    QByteArray jpeg;
    if (handle != nullptr &&
        tjCompress2(handle, image.constBits(), w, static_cast<int>(image.bytesPerLine()), h,
                    TJPF_RGB, &out, &size, TJSAMP_420, 92, 0) == 0)
        jpeg = QByteArray(reinterpret_cast<const char*>(out), static_cast<qsizetype>(size));
    tjFree(out);
    if (handle != nullptr)
        tjDestroy(handle);
    return jpeg;
}

// Gives the photo at path the camera fields a result keeps (make, model, shot date); the
// error text when Exiv2 could not write them.
inline std::optional<std::string> addCameraExif(const std::string& path) {
    try {
        auto image = Exiv2::ImageFactory::open(path);
        image->readMetadata();
        Exiv2::ExifData& exif = image->exifData();
        exif["Exif.Image.Make"] = "Lumicam";
        exif["Exif.Image.Model"] = "Bench 6000";
        exif["Exif.Photo.DateTimeOriginal"] = "2006:07:14 10:20:30";
        image->writeMetadata();
    } catch (const Exiv2::AnyError& error) {
        return std::string(error.what());
    }
    return std::nullopt;
}

// Writes count copies of jpeg as IMG_0001.jpg... into folder (ending in '/'), each with the
// camera fields; their paths, or the error text of the first that could not be written.
inline std::optional<std::string> writeCameraFolder(const std::string& folder,
                                                    const QByteArray& jpeg, int count,
                                                    std::vector<std::string>& paths) {
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "IMG_%04d.jpg", i + 1);
        const std::string path = folder + name;
        if (!JpegCodec::writeFileSafely(path, jpeg))
            return "cannot write a test photo";
        if (auto error = addCameraExif(path))
            return error;
        paths.push_back(path);
    }
    return std::nullopt;
}
