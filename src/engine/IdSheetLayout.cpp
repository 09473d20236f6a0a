#include "engine/IdSheetLayout.h"

#include <utility>

#include "engine/PixelMath.h"

namespace {

// Identity photos per centimetre along the 45 mm side (1 / 4.5) and the 35 mm side (1 / 3.5).
constexpr double kPerCmAlong45mm = 0.2222222222222222;
constexpr double kPerCmAlong35mm = 0.2857142857142857;

} // namespace

std::optional<IdSheetLayout> IdSheetLayout::Compute(int frameWidth, int frameHeight,
                                                    double heightCm, double widthCm, double ratio) {
    if (frameWidth <= 0 || frameHeight <= 0 || heightCm <= 0.0 || widthCm <= 0.0 || ratio <= 0.0) {
        return std::nullopt;
    }
    const double fw = frameWidth;
    const double fh = frameHeight;
    IdSheetLayout layout;
    layout.frameWidth = frameWidth;
    layout.frameHeight = frameHeight;

    // Count along each side of the format; the copies lie turned along the longer side
    // here, which the exchange below undoes.
    int sw = 0;
    int sh = 0;
    if (heightCm > widthCm) {
        layout.columns = TruncToInt(heightCm * kPerCmAlong45mm);
        layout.rows = TruncToInt(widthCm * kPerCmAlong35mm);
        sw = TruncToInt(fh * heightCm * kPerCmAlong45mm);
        sh = TruncToInt(fw * widthCm * kPerCmAlong35mm);
    } else {
        layout.columns = TruncToInt(heightCm * kPerCmAlong35mm);
        layout.rows = TruncToInt(widthCm * kPerCmAlong45mm);
        sw = TruncToInt(fw * heightCm * kPerCmAlong35mm);
        sh = TruncToInt(fh * widthCm * kPerCmAlong45mm);
    }

    // Enlarge one side to bring the sheet to the format's proportions.
    if (sh * ratio > sw) {
        sw = TruncToInt(sh * ratio);
    } else {
        sh = TruncToInt(sw / ratio);
    }

    // The sheet is always upright.
    if (sw > sh) {
        std::swap(sw, sh);
        std::swap(layout.columns, layout.rows);
    }
    layout.sheetWidth = sw;
    layout.sheetHeight = sh;
    layout.margin = sh - layout.rows * frameHeight;
    return layout;
}

QRect IdSheetLayout::BannerRect() const {
    return QRect(0, 0, (margin * kBannerWidth) / kBannerHeight, margin);
}

std::vector<QRect> IdSheetLayout::CopyRects() const {
    std::vector<QRect> rects;
    if (columns <= 0 || rows <= 0) {
        return rects;
    }
    rects.reserve(static_cast<size_t>(columns) * static_cast<size_t>(rows));
    for (int i = 0; i < columns; ++i) {
        for (int j = 0; j < rows; ++j) {
            const int x = i * frameWidth;
            const int y = margin + j * frameHeight;
            rects.emplace_back(x, y, frameWidth, frameHeight);
        }
    }
    return rects;
}
