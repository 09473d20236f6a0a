#include "skin/GradientBands.h"

#include <algorithm>
#include <cstdlib>

namespace {

int step(int from, int to, int i, int n) {
    // Single precision on purpose: the bands must fall where the float arithmetic puts them.
    return static_cast<int>(static_cast<float>(from) + static_cast<float>(to - from) *
                                                           static_cast<float>(i) /
                                                           static_cast<float>(n));
}

} // namespace

std::vector<GradientBand> gradientBands(const QColor& start, const QColor& end, int left,
                                        int width) {
    std::vector<GradientBand> bands;
    if (width <= 0)
        return bands;
    if (start.rgb() == end.rgb()) {
        bands.push_back({left, left + width, start});
        return bands;
    }
    const int n =
        std::max({std::abs(end.red() - start.red()), std::abs(end.green() - start.green()),
                  std::abs(end.blue() - start.blue())});
    const auto edge = [&](int i) {
        return left + static_cast<int>(static_cast<float>(i) * static_cast<float>(width) /
                                       static_cast<float>(n));
    };
    int reached = left;
    for (int i = 0; i < n; ++i) {
        const int x0 = edge(i);
        const int x1 = edge(i + 1);
        if (x1 <= x0)
            continue;
        bands.push_back(
            {x0, x1,
             QColor(step(start.red(), end.red(), i, n), step(start.green(), end.green(), i, n),
                    step(start.blue(), end.blue(), i, n))});
        reached = x1;
    }
    if (reached < left + width)
        bands.push_back({reached, left + width, end});
    return bands;
}
