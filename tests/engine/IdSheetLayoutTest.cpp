#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <vector>

#include "engine/IdSheetLayout.h"
#include "engine/RectTesting.h"

namespace {

TEST(IdSheetLayout, SheetsByFormat) {
    // clang-format off
    const struct { const char* name; int fw, fh; double heightCm, widthCm; int sheetW, sheetH, cols, rows, margin; } rows[] = {
        {"default format", 700, 900, 15, 10, 2000, 3000, 2, 3, 300},
        {"landscape format", 700, 900, 10, 15, 2000, 3000, 2, 3, 300},
        {"square format", 700, 900, 15, 15, 3000, 3000, 4, 3, 300},
        {"too narrow for one copy", 700, 900, 3, 10, 600, 2000, 0, 2, 200},
        // A crop a little taller than 7:9: 606 x 400 stood upright as 404 x 606.
        {"large print", 70, 91, 30, 20, 404, 606, 5, 6, 60},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::optional<IdSheetLayout> layout = IdSheetLayout::compute(
            row.fw, row.fh, row.heightCm, row.widthCm, row.heightCm / row.widthCm);
        ASSERT_TRUE(layout.has_value());
        EXPECT_EQ(std::tuple(layout->sheetWidth(), layout->sheetHeight(), layout->columns(),
                             layout->rows(), layout->margin(), layout->copyRects().size()),
                  std::tuple(row.sheetW, row.sheetH, row.cols, row.rows, row.margin,
                             size_t(row.cols * row.rows)));
    }
    const std::optional<IdSheetLayout> layout = IdSheetLayout::compute(700, 900, 15, 10, 1.5);
    EXPECT_EQ(layout->bannerRect(), edges(0, 0, 1200, 300));
    EXPECT_EQ(layout->copyRects(),
              (std::vector<QRect>{edges(0, 300, 700, 1200), edges(0, 1200, 700, 2100),
                                  edges(0, 2100, 700, 3000), edges(700, 300, 1400, 1200),
                                  edges(700, 1200, 1400, 2100), edges(700, 2100, 1400, 3000)}));
    // No sheet without a frame, a format or proportions: each of them zero in turn.
    for (const auto& [w, h, heightCm, widthCm, ratio] : {std::tuple{0, 900, 15.0, 10.0, 1.5},
                                                         {700, 0, 15.0, 10.0, 1.5},
                                                         {700, 900, 0.0, 10.0, 1.5},
                                                         {700, 900, 15.0, 0.0, 1.5},
                                                         {700, 900, 15.0, 10.0, 0.0}})
        EXPECT_FALSE(IdSheetLayout::compute(w, h, heightCm, widthCm, ratio)) << w << " " << h;
    // Without a face: the background and the banner only.
    const QImage empty = layout->compose(QImage(), QImage(), qRgb(1, 2, 3));
    ASSERT_EQ(empty.size(), QSize(2000, 3000));
    EXPECT_EQ(empty.pixel(1000, 1500), qRgb(1, 2, 3));
}

} // namespace
