#include <gtest/gtest.h>

#include <QImage>
#include <QTransform>
#include <thread>

#include "engine/NoiseImage.h"
#include "engine/PixelEdits.h"
#include "engine/RowBands.h"

namespace {

// Sizes around the 64-pixel tiles and the split into bands: single pixels and lines, sides
// that are not a multiple of a tile, and (on a machine with two cores or more) one that is
// split across threads.
// clang-format off
const struct { const char* name; int width; int height; } kSizes[] = {
    {"one pixel", 1, 1},    {"3 x 5", 3, 5},     {"one row", 130, 1},
    {"one column", 1, 130}, {"67 x 45", 67, 45}, {"split into bands", 515, 263},
};
// clang-format on

TEST(PixelEdits, TurnsAndMirrorsMatchQt) {
    if (std::thread::hardware_concurrency() >= 2) {
        EXPECT_GE(RowBands::count(263, 515), 2) << "the last size should take two threads";
    }
    for (const auto& size : kSizes) {
        SCOPED_TRACE(size.name);
        const QImage image = noiseImage(size.width, size.height);
        EXPECT_EQ(PixelEdits::turnedRight(image), image.transformed(QTransform().rotate(90)));
        EXPECT_EQ(PixelEdits::turnedLeft(image), image.transformed(QTransform().rotate(270)));
        QImage mirrored = image;
        PixelEdits::mirrorHorizontally(mirrored);
        EXPECT_EQ(mirrored, image.mirrored(true, false));
        mirrored = image;
        PixelEdits::mirrorVertically(mirrored);
        EXPECT_EQ(mirrored, image.mirrored(false, true));
    }
}

TEST(PixelEdits, EveryPixelTintedOnce) {
    // A repeating run of colours whose gray and sepia values are known.
    // clang-format off
    const struct { QRgb in; int gray; QRgb sepia; } colours[] = {
        {qRgb(255, 0, 0), 76, qRgb(114, 76, 51)},
        {qRgb(255, 255, 255), 255, qRgb(255, 255, 230)},
        {qRgb(0, 0, 0), 0, qRgb(38, 0, 0)},
        {qRgb(10, 200, 30), 124, qRgb(162, 124, 98)},
        {qRgb(200, 100, 50), 124, qRgb(162, 124, 99)},
        {qRgb(1, 2, 3), 2, qRgb(40, 2, 0)},
        {qRgb(128, 128, 128), 128, qRgb(166, 128, 103)},
    };
    // clang-format on
    constexpr int kCount = sizeof colours / sizeof colours[0];
    for (const auto& size : kSizes) {
        SCOPED_TRACE(size.name);
        QImage gray(size.width, size.height, QImage::Format_RGB888);
        for (int y = 0; y < size.height; ++y) {
            for (int x = 0; x < size.width; ++x)
                gray.setPixel(x, y, colours[(x + y * size.width) % kCount].in);
        }
        QImage sepia = gray;
        PixelEdits::applyTint(gray, kGrayTint);
        PixelEdits::applyTint(sepia, kSepiaTint);
        int wrong = 0;
        for (int y = 0; y < size.height; ++y) {
            for (int x = 0; x < size.width; ++x) {
                const auto& colour = colours[(x + y * size.width) % kCount];
                const int v = colour.gray;
                wrong += gray.pixel(x, y) != qRgb(v, v, v) || sepia.pixel(x, y) != colour.sepia;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

} // namespace
