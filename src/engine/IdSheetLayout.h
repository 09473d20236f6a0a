#pragma once

#include <QRect>
#include <optional>
#include <vector>

// Layout of a sheet of identity photos: as many copies of the framed face (photo pixels,
// one photo pixel per sheet pixel) as the print format holds at 35 x 45 mm each, packed
// from the top-left corner below a banner strip. The sheet has the format's proportions
// and is always upright (width not greater than height).
class IdSheetLayout {
public:
    // Size of the banner picture in pixels; the top strip is stretched to its 4:1 shape.
    static constexpr int kBannerWidth = 600;
    static constexpr int kBannerHeight = 150;

    // frameWidth x frameHeight: the identity crop in photo pixels; heightCm x widthCm: the
    // print format; ratio = heightCm / widthCm. No layout for an empty crop, a format of
    // zero size or a zero ratio.
    [[nodiscard]] static std::optional<IdSheetLayout>
    Compute(int frameWidth, int frameHeight, double heightCm, double widthCm, double ratio);

    [[nodiscard]] int Columns() const { return columns; }
    [[nodiscard]] int Rows() const { return rows; }
    [[nodiscard]] int SheetWidth() const { return sheetWidth; }
    [[nodiscard]] int SheetHeight() const { return sheetHeight; }
    // Height of the spare strip at the top that holds the banner, sheet pixels.
    [[nodiscard]] int Margin() const { return margin; }
    // Where the banner is stretched: 4:1 over the top strip.
    [[nodiscard]] QRect BannerRect() const;
    // Destination of each copy on the sheet, column by column, top to bottom in a column.
    [[nodiscard]] std::vector<QRect> CopyRects() const;

private:
    int frameWidth = 0;
    int frameHeight = 0;
    int columns = 0;
    int rows = 0;
    int sheetWidth = 0;
    int sheetHeight = 0;
    int margin = 0;
};
