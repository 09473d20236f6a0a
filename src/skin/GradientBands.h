#pragma once

#include <QColor>

#include <vector>

// One vertical band of a horizontal gradient, from x = left to x = right (exclusive), in
// display pixels of the surface being painted.
struct GradientBand {
    int left = 0;
    int right = 0;
    QColor colour;

    bool operator==(const GradientBand&) const = default;
};

// Splits the span [left, left + width) into flat bands shading from start to end: one band per
// step of the largest channel difference, bands of no width left out, and whatever the bands
// leave at the right filled with the end colour. Equal colours give one flat band.
[[nodiscard]] std::vector<GradientBand> gradientBands(const QColor& start, const QColor& end,
                                                      int left, int width);
