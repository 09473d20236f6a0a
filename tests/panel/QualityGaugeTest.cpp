#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QRect>

#include "panel/QualityGauge.h"
#include "ui_support/WidgetPixels.h"

namespace {

// A gauge 200 x 40 pixels, red to green.
QImage renderGauge(int quality, int cropWidth, int cropHeight, bool showFactor) {
    QualityGauge gauge;
    gauge.resize(200, 40);
    gauge.setColors(QColor(200, 0, 0), QColor(0, 200, 0));
    gauge.setShowFactor(showFactor);
    gauge.setQuality(quality);
    gauge.setCropSize(cropWidth, cropHeight);
    return render(gauge);
}

TEST(QualityGauge, PointerTipSitsAtTheQualityPosition) {
    struct Row {
        const char* name;
        int quality;
        int tipX;
    };
    const Row rows[] = {{"half", 50, 100}, {"poor", 0, 0}, {"a third truncates", 33, 66}};
    for (const Row& row : rows) {
        const QImage image = renderGauge(row.quality, 0, 0, true);
        const QColor white(255, 255, 255);
        // The tick runs down from the triangle's base to y = 10.
        for (int y = 2; y <= 10; ++y) {
            EXPECT_EQ(pixelAt(image, row.tipX, y), white) << row.name << " y = " << y;
        }
        EXPECT_NE(pixelAt(image, row.tipX, 11), white) << row.name;
        // The triangle's base from x - 5 to x + 5 on y = 2, nothing white beyond.
        for (int x = 0; x < 200; ++x) {
            const bool onBase = x >= row.tipX - 5 && x <= row.tipX + 5;
            EXPECT_EQ(pixelAt(image, x, 2) == white, onBase) << row.name << " x = " << x;
        }
    }
}

TEST(QualityGauge, SizeTextOnlyWhenBothSidesAreKnown) {
    const QImage empty = renderGauge(50, 0, 0, true);
    EXPECT_EQ(renderGauge(50, 1200, 0, true), empty);
    EXPECT_EQ(renderGauge(50, 0, 1800, true), empty);

    const QImage withRatio = renderGauge(50, 1200, 1800, true);
    const QImage withoutRatio = renderGauge(50, 1200, 1800, false);
    EXPECT_NE(withRatio, empty);
    EXPECT_NE(withRatio, withoutRatio);
    // The text sits at the bottom of the area inset by 10 on the left and 2 at the bottom.
    QRect text;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (withRatio.pixelColor(x, y) != empty.pixelColor(x, y)) {
                text = text.united(QRect(x, y, 1, 1));
            }
        }
    }
    ASSERT_FALSE(text.isEmpty());
    // Anti-aliased glyph edges may spill one pixel left of the inset.
    EXPECT_GE(text.left(), 9);
    EXPECT_LE(text.bottom(), 37);
    EXPECT_GE(text.bottom(), 30);
    EXPECT_GT(text.top(), 10);
}

} // namespace
