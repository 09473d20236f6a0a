#pragma once

#include "support/ExifJpegFixture.h"

#include <QBuffer>
#include <QImage>
#include <QWidget>
#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

// Renders a widget off screen the way it paints itself, in 32-bit RGB for pixel reads.
inline QImage render(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Channels within tolerance of each other (JPEG and blending round a little).
inline ::testing::AssertionResult near(QRgb actual, QRgb expected, int tolerance = 2) {
    const int d = std::max({std::abs(qRed(actual) - qRed(expected)),
                            std::abs(qGreen(actual) - qGreen(expected)),
                            std::abs(qBlue(actual) - qBlue(expected))});
    return d <= tolerance ? ::testing::AssertionSuccess()
                          : ::testing::AssertionFailure()
                                << std::hex << "got 0x" << (actual & 0xFFFFFF) << ", expected 0x"
                                << (expected & 0xFFFFFF);
}

// A flat-coloured width x height JPEG at path, shot on 2006-07-14 by its EXIF date.
inline bool writePhoto(const std::string& path, int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPG", 100))
        return false;
    bytes.insert(2, fixture::exifSegment("2006:07:14 10:00:00"));
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.constData(), bytes.size());
    return static_cast<bool>(out);
}
