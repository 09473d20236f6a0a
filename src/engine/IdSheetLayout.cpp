#include "engine/IdSheetLayout.h"

#include <utility>

#include "engine/PixelMath.h"

namespace {

// Identity photos per centimetre along the 45 mm side (1 / 4.5) and the 35 mm side (1 / 3.5).
constexpr double kPerCmAlong45mm = 0.2222222222222222;
constexpr double kPerCmAlong35mm = 0.2857142857142857;

} // namespace

std::optional<IdSheetLayout> IdSheetLayout::compute(int frameWidth, int frameHeight,
                                                    double heightCm, double widthCm, double ratio) {
    if (frameWidth <= 0 || frameHeight <= 0 || heightCm <= 0.0 || widthCm <= 0.0 || ratio <= 0.0) {
        return std::nullopt;
    }
    const double fw = frameWidth;
    const double fh = frameHeight;
    IdSheetLayout layout;
    layout.m_frameWidth = frameWidth;
    layout.m_frameHeight = frameHeight;

    // Count along each side of the format; the copies lie turned along the longer side
    // here, which the exchange below undoes.
    int sw = 0;
    int sh = 0;
    if (heightCm > widthCm) {
        layout.m_columns = truncToInt(heightCm * kPerCmAlong45mm);
        layout.m_rows = truncToInt(widthCm * kPerCmAlong35mm);
        sw = truncToInt(fh * heightCm * kPerCmAlong45mm);
        sh = truncToInt(fw * widthCm * kPerCmAlong35mm);
    } else {
        layout.m_columns = truncToInt(heightCm * kPerCmAlong35mm);
        layout.m_rows = truncToInt(widthCm * kPerCmAlong45mm);
        sw = truncToInt(fw * heightCm * kPerCmAlong35mm);
        sh = truncToInt(fh * widthCm * kPerCmAlong45mm);
    }

    // Enlarge one side to bring the sheet to the format's proportions.
    if (sh * ratio > sw) {
        sw = truncToInt(sh * ratio);
    } else {
        sh = truncToInt(sw / ratio);
    }

    // The sheet is always upright.
    if (sw > sh) {
        std::swap(sw, sh);
        std::swap(layout.m_columns, layout.m_rows);
    }
    layout.m_sheetWidth = sw;
    layout.m_sheetHeight = sh;
    layout.m_margin = sh - layout.m_rows * frameHeight;
    return layout;
}

QRect IdSheetLayout::bannerRect() const {
    return QRect(0, 0, (m_margin * kBannerWidth) / kBannerHeight, m_margin);
}

std::vector<QRect> IdSheetLayout::copyRects() const {
    std::vector<QRect> rects;
    if (m_columns <= 0 || m_rows <= 0) {
        return rects;
    }
    rects.reserve(static_cast<size_t>(m_columns) * static_cast<size_t>(m_rows));
    for (int i = 0; i < m_columns; ++i) {
        for (int j = 0; j < m_rows; ++j) {
            const int x = i * m_frameWidth;
            const int y = m_margin + j * m_frameHeight;
            rects.emplace_back(x, y, m_frameWidth, m_frameHeight);
        }
    }
    return rects;
}
