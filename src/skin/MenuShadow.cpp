#include "skin/MenuShadow.h"

#include <algorithm>

int shadowPercent(int column, int row) {
    const int full = 93 - 5 * std::clamp(column, 0, kShadowWidth - 1);
    if (row >= 3)
        return full;
    // Rows 0, 1, 2 take a quarter, half and three quarters of the full darkening.
    return 100 - (100 - full) * (std::max(row, 0) + 1) / 4;
}

QColor shadeColour(const QColor& colour, int percent) {
    return QColor(colour.red() * percent / 100, colour.green() * percent / 100,
                  colour.blue() * percent / 100);
}
