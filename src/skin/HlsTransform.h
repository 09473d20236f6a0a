#pragma once

#include <QColor>

// Hue, lightness and saturation, each scaled to 0..255 (hue 255 = the full circle).
struct HlsByte {
    int hue = 0;
    int lightness = 0;
    int saturation = 0;
};

[[nodiscard]] HlsByte rgbToHls(const QColor& colour);
[[nodiscard]] QColor hlsToRgb(const HlsByte& hls);

// Moves lightness and saturation of a colour towards their maximum (positive per cent) or
// towards zero (negative per cent); both run from -100 to 100, hue is kept.
[[nodiscard]] QColor shiftLightnessSaturation(const QColor& colour, int lightnessPercent,
                                              int saturationPercent);
