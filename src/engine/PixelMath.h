#pragma once

#include <cmath>
#include <limits>

// Converts a computed double to pixels, truncating toward zero. Values that are not a
// number give 0 and values beyond the int range stick to its ends, so a degenerate window
// or format never leads to undefined behaviour.
[[nodiscard]] inline int truncToInt(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    if (value <= static_cast<double>(std::numeric_limits<int>::min())) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(value);
}
