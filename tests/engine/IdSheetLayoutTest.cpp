#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "engine/IdSheetLayout.h"
#include "engine/RectTesting.h"

namespace {

TEST(IdSheetLayout, DefaultFormatExample) {
    const std::optional<IdSheetLayout> layout = IdSheetLayout::compute(700, 900, 15, 10, 1.5);
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(layout->sheetWidth(), 2000);
    EXPECT_EQ(layout->sheetHeight(), 3000);
    EXPECT_EQ(layout->columns(), 2);
    EXPECT_EQ(layout->rows(), 3);
    EXPECT_EQ(layout->margin(), 300);
    EXPECT_EQ(layout->bannerRect(), edges(0, 0, 1200, 300));
    const std::vector<QRect> expected = {
        edges(0, 300, 700, 1200),    edges(0, 1200, 700, 2100),    edges(0, 2100, 700, 3000),
        edges(700, 300, 1400, 1200), edges(700, 1200, 1400, 2100), edges(700, 2100, 1400, 3000),
    };
    EXPECT_EQ(layout->copyRects(), expected);
}

struct SheetRow {
    const char* name;
    int fw, fh;
    double heightCm, widthCm;
    int sheetW, sheetH, cols, rows, margin;
};

TEST(IdSheetLayout, SheetsByFormat) {
    const std::vector<SheetRow> rows = {
        // 10 x 15 (landscape): cols trunc(10 / 3.5) = 2, rows trunc(15 / 4.5) = 3,
        // 2000 x 3000 already upright.
        {"landscape format", 700, 900, 10, 15, 2000, 3000, 2, 3, 300},
        // 10 x 10: cols trunc(10 / 3.5) = 2, rows trunc(10 / 4.5) = 2; 2000 x 2000 brought
        // to a square by its larger side.
        {"square format", 700, 900, 10, 10, 2000, 2000, 2, 2, 200},
        // 3 x 10: no copy fits across 3 cm; only the banner strip and background remain.
        {"too narrow for one copy", 700, 900, 3, 10, 600, 2000, 0, 2, 200},
        // 30 x 20 with a crop a little taller than 7:9: 606 x 400 stood upright as
        // 404 x 606, 5 across and 6 down.
        {"large print", 70, 91, 30, 20, 404, 606, 5, 6, 60},
    };
    for (const SheetRow& row : rows) {
        const std::optional<IdSheetLayout> layout = IdSheetLayout::compute(
            row.fw, row.fh, row.heightCm, row.widthCm, row.heightCm / row.widthCm);
        ASSERT_TRUE(layout.has_value()) << row.name;
        EXPECT_EQ(layout->sheetWidth(), row.sheetW) << row.name;
        EXPECT_EQ(layout->sheetHeight(), row.sheetH) << row.name;
        EXPECT_EQ(layout->columns(), row.cols) << row.name;
        EXPECT_EQ(layout->rows(), row.rows) << row.name;
        EXPECT_EQ(layout->margin(), row.margin) << row.name;
        EXPECT_EQ(layout->copyRects().size(), static_cast<size_t>(row.cols * row.rows)) << row.name;
    }
}

TEST(IdSheetLayout, CopiesStayOnTheSheet) {
    for (const double widthCm : {9.0, 10.0, 13.0, 20.0}) {
        for (const double heightCm : {9.0, 13.0, 15.0, 30.0}) {
            const std::optional<IdSheetLayout> layout =
                IdSheetLayout::compute(350, 450, heightCm, widthCm, heightCm / widthCm);
            ASSERT_TRUE(layout.has_value());
            EXPECT_LE(layout->sheetWidth(), layout->sheetHeight());
            for (const QRect& copy : layout->copyRects()) {
                EXPECT_GE(copy.y(), layout->margin()) << heightCm << "x" << widthCm;
                EXPECT_LE(rightEdge(copy), layout->sheetWidth()) << heightCm << "x" << widthCm;
                EXPECT_LE(bottomEdge(copy), layout->sheetHeight()) << heightCm << "x" << widthCm;
            }
        }
    }
}

TEST(IdSheetLayout, RefusesDegenerateInput) {
    EXPECT_FALSE(IdSheetLayout::compute(0, 900, 15, 10, 1.5));
    EXPECT_FALSE(IdSheetLayout::compute(700, 0, 15, 10, 1.5));
    EXPECT_FALSE(IdSheetLayout::compute(700, 900, 15, 10, 0));
}

} // namespace
