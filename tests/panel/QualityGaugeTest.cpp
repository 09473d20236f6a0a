#include <gtest/gtest.h>

#include <QImage>

#include "panel/QualityGauge.h"
#include "ui_support/WidgetPixels.h"

namespace {

// A gauge 200 x 40 pixels, red to green.
QImage renderGauge(int quality, int cropWidth, int cropHeight) {
    QualityGauge gauge;
    gauge.resize(200, 40);
    gauge.setColors(QColor(200, 0, 0), QColor(0, 200, 0));
    gauge.setShowFactor(true);
    gauge.setQuality(quality);
    gauge.setCropSize(cropWidth, cropHeight);
    return render(gauge);
}

TEST(QualityGaugeTest, PointerAtTheQualityAndTheSizeTextBelowIt) {
    const QImage image = renderGauge(33, 0, 0);
    // White tick from the triangle's base (x - 5 .. x + 5 at y = 2) down to y = 10.
    for (int y = 2; y <= 10; ++y)
        EXPECT_EQ(image.pixelColor(66, y), QColor(Qt::white)) << "y = " << y;
    EXPECT_NE(image.pixelColor(66, 11), QColor(Qt::white));
    for (int x = 0; x < 200; ++x)
        EXPECT_EQ(image.pixelColor(x, 2) == QColor(Qt::white), x >= 61 && x <= 71) << "x = " << x;

    EXPECT_EQ(renderGauge(33, 1200, 0), image) << "no size text with one side unknown";
    const QImage text = renderGauge(33, 1200, 1800);
    QRect ink;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (text.pixel(x, y) != image.pixel(x, y))
                ink = ink.united(QRect(x, y, 1, 1));
        }
    }
    ASSERT_FALSE(ink.isEmpty());
    // Bottom-left, inset by 10 on the left (anti-aliasing may spill one pixel) and 2 below.
    EXPECT_GE(ink.left(), 9);
    EXPECT_LE(ink.bottom(), 37);
    EXPECT_GE(ink.bottom(), 30);
    EXPECT_GT(ink.top(), 10);
}

} // namespace
