#pragma once

#include <QImage>

// Size of the product picture shown by the splash and about window, in pixels.
inline constexpr int kSplashWidth = 497;
inline constexpr int kSplashHeight = 360;
// The light band at the bottom of the picture that holds the web address and the version.
inline constexpr int kSplashBandTop = 300;

// Draws the product picture (RGB888): a gradient, a landscape photo with a crop frame laid
// over it, the name "Lumicut" with its slogan, and the web site's address in the band.
[[nodiscard]] QImage makeSplashPicture();
