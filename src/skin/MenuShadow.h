#pragma once

#include <QColor>

// Drop shadow four display pixels wide beside menu surfaces. Column 0 is the outer one; the
// shadow is darkest next to the surface it belongs to.
inline constexpr int kShadowWidth = 4;

// Per cent of the original brightness kept in a shadow column (0..3, counted from the outer
// edge), for a row counted from the start of the shadow: the first three rows are lighter so
// that the shadow fades in.
[[nodiscard]] int shadowPercent(int column, int row);

[[nodiscard]] QColor shadeColour(const QColor& colour, int percent);
