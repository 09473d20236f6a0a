#include "skin/GradientBands.h"

#include <gtest/gtest.h>

namespace {

TEST(GradientBands, BandsTileTheSpanWithoutEmptyOnes) {
    const QColor blue(0, 0, 200), white(255, 255, 255);
    // clang-format off
    const struct { const char* name; QColor start, end; int left, width; std::size_t bands; } rows[] = {
        {"one band per step when there is room", blue, QColor(0, 0, 204), 10, 40, 4},
        {"more steps than pixels: no band of no width", blue, white, 30, 7, 7},
        {"equal colours: one flat band", white, white, 0, 5, 1},
        {"no width: no band", blue, white, 0, 0, 0},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::vector<GradientBand> bands =
            gradientBands(row.start, row.end, row.left, row.width);
        ASSERT_EQ(bands.size(), row.bands);
        int x = row.left;
        for (const GradientBand& band : bands) {
            EXPECT_EQ(band.left, x);
            EXPECT_GT(band.right, band.left);
            x = band.right;
        }
        EXPECT_EQ(x, row.left + row.width);
    }
}

} // namespace
