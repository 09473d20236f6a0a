#include "skin/HlsTransform.h"

#include <algorithm>
#include <cmath>

namespace {

// Guards truncations of values that are whole numbers in exact arithmetic.
constexpr double kEpsilon = 1e-9;

int truncByte(double value) {
    return std::clamp(static_cast<int>(value + kEpsilon), 0, 255);
}

// One channel of the HLS model: m1 and m2 bound the channel, hue in sixths of the circle.
double hueToChannel(double m1, double m2, double hue) {
    hue -= std::floor(hue);
    if (hue < 1.0 / 6.0)
        return m1 + (m2 - m1) * hue * 6.0;
    if (hue < 0.5)
        return m2;
    if (hue < 2.0 / 3.0)
        return m1 + (m2 - m1) * (2.0 / 3.0 - hue) * 6.0;
    return m1;
}

int shiftTowards(int value, int percent) {
    if (percent > 0)
        return value + (255 - value) * percent / 100;
    if (percent < 0)
        return value * (percent + 100) / 100;
    return value;
}

} // namespace

HlsByte rgbToHls(const QColor& colour) {
    const int r = colour.red();
    const int g = colour.green();
    const int b = colour.blue();
    const int maxValue = std::max({r, g, b});
    const int minValue = std::min({r, g, b});
    const int sum = maxValue + minValue;
    const int diff = maxValue - minValue;

    HlsByte hls;
    hls.lightness = sum / 2; // (max + min) / 510 scaled to 255
    if (diff == 0)
        return hls;

    // Saturation relative to lightness: against the sum in the dark half, against its
    // complement in the light half.
    hls.saturation = sum <= 255 ? 255 * diff / sum : 255 * diff / (510 - sum);
    const double rn = static_cast<double>(maxValue - r) / diff;
    const double gn = static_cast<double>(maxValue - g) / diff;
    const double bn = static_cast<double>(maxValue - b) / diff;
    double sixths = 0.0;
    if (r == maxValue)
        sixths = bn - gn;
    else if (g == maxValue)
        sixths = 2.0 + rn - bn;
    else
        sixths = 4.0 + gn - rn;
    if (sixths < 0.0)
        sixths += 6.0;
    hls.hue = truncByte(sixths / 6.0 * 255.0);
    return hls;
}

QColor hlsToRgb(const HlsByte& hls) {
    const double h = hls.hue / 255.0;
    const double l = hls.lightness / 255.0;
    const double s = hls.saturation / 255.0;
    if (hls.saturation == 0) {
        const int grey = static_cast<int>(l * 255.0 + 0.5);
        return QColor(grey, grey, grey);
    }
    const double m2 = l <= 0.5 ? l * (1.0 + s) : l + s - l * s;
    const double m1 = 2.0 * l - m2;
    const auto channel = [&](double hue) {
        return std::clamp(static_cast<int>(hueToChannel(m1, m2, hue) * 255.0 + 0.5), 0, 255);
    };
    return QColor(channel(h + 1.0 / 3.0), channel(h), channel(h - 1.0 / 3.0));
}

QColor shiftLightnessSaturation(const QColor& colour, int lightnessPercent, int saturationPercent) {
    HlsByte hls = rgbToHls(colour);
    hls.lightness = shiftTowards(hls.lightness, lightnessPercent);
    hls.saturation = shiftTowards(hls.saturation, saturationPercent);
    return hlsToRgb(hls);
}
