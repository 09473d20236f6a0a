#pragma once

#include <QImage>
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
    compute(int frameWidth, int frameHeight, double heightCm, double widthCm, double ratio);

    [[nodiscard]] int columns() const { return m_columns; }
    [[nodiscard]] int rows() const { return m_rows; }
    [[nodiscard]] int sheetWidth() const { return m_sheetWidth; }
    [[nodiscard]] int sheetHeight() const { return m_sheetHeight; }
    // Height of the spare strip at the top that holds the banner, sheet pixels.
    [[nodiscard]] int margin() const { return m_margin; }
    // Where the banner is stretched: 4:1 over the top strip.
    [[nodiscard]] QRect bannerRect() const;
    // Destination of each copy on the sheet, column by column, top to bottom in a column.
    [[nodiscard]] std::vector<QRect> copyRects() const;

    // The sheet itself, Format_RGB888: background (opaque) everywhere, banner stretched
    // smoothly over bannerRect(), and a copy of face, pixel for pixel, at each of
    // copyRects(); whatever falls outside the sheet is cut off. Null when memory is short.
    // The rows are filled by all cores at once: a sheet of a 24-megapixel photo has over
    // 100 million pixels.
    [[nodiscard]] QImage compose(const QImage& face, const QImage& banner, QRgb background) const;

private:
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    int m_columns = 0;
    int m_rows = 0;
    int m_sheetWidth = 0;
    int m_sheetHeight = 0;
    int m_margin = 0;
};
