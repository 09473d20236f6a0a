#pragma once

#include "support/ExifJpegFixture.h"

#include <QImage>
#include <QWidget>
#include <algorithm>
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
    const QByteArray jpeg = fixture::flatJpeg(width, height, colour, 100);
    return !jpeg.isEmpty() && fixture::writeJpeg(path, "2006:07:14 10:00:00", {}, jpeg);
}
