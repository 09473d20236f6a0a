#include "skin/GradientBands.h"
#include "ColourPrinter.h"
#include "skin/MenuShadow.h"

#include <gtest/gtest.h>

#include <QColor>

#include <ostream>
#include <vector>

void PrintTo(const GradientBand& band, std::ostream* os) {
    *os << "[" << band.left << ", " << band.right << ") ";
    PrintTo(band.colour, os);
}

namespace {

TEST(GradientBands, EqualColoursFillFlatNoWidthNoBands) {
    EXPECT_EQ(gradientBands(QColor(10, 20, 30), QColor(10, 20, 30), 5, 40),
              (std::vector<GradientBand>{{5, 45, QColor(10, 20, 30)}}));
    EXPECT_TRUE(gradientBands(QColor(0, 0, 0), QColor(255, 255, 255), 0, 0).empty());
}

TEST(GradientBands, DefaultColumnOnePixelPerBand) {
    // 75 steps (the red difference) over 30 pixels: every pixel gets exactly one band.
    const auto bands = gradientBands(QColor(180, 196, 228), QColor(255, 255, 255), 0, 30);
    ASSERT_EQ(bands.size(), 30u);
    EXPECT_EQ(bands.front(), (GradientBand{0, 1, QColor(182, 197, 228)}));
    EXPECT_EQ(bands.back(), (GradientBand{29, 30, QColor(254, 254, 254)}));
    for (size_t i = 1; i < bands.size(); ++i)
        EXPECT_EQ(bands[i].left, bands[i - 1].right) << "gap before band " << i;
}

TEST(GradientBands, FewStepsGiveWideBandsWithoutReachingEnd) {
    EXPECT_EQ(gradientBands(QColor(0, 0, 0), QColor(2, 0, 0), 10, 5),
              (std::vector<GradientBand>{{10, 12, QColor(0, 0, 0)}, {12, 15, QColor(1, 0, 0)}}));
}

TEST(GradientBands, FallingChannelsTruncateTowardZero) {
    // 10 steps over 10 pixels, red and blue falling, green rising by less.
    const auto bands = gradientBands(QColor(10, 0, 10), QColor(0, 3, 0), 0, 10);
    ASSERT_EQ(bands.size(), 10u);
    EXPECT_EQ(bands[1].colour, QColor(9, 0, 9));
    EXPECT_EQ(bands[4].colour, QColor(6, 1, 6));
    EXPECT_EQ(bands[9].colour, QColor(1, 2, 1));
}

TEST(MenuShadow, DarkestNextToTheSurfaceAndFadingIn) {
    EXPECT_EQ(shadowPercent(0, 5), 93);
    EXPECT_EQ(shadowPercent(3, 5), 78);
    EXPECT_EQ(shadeColour(QColor(212, 208, 200), 93), QColor(197, 193, 186));
}

} // namespace
