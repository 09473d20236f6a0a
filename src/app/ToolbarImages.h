#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>

// The toolbar's picture strip: 20 pictures of 16 x 16 pixels side by side, in toolbar
// button order, on a magenta key colour, in a 600 x 22 strip (the rest stays key colour).
inline constexpr int kToolbarStripWidth = 600;
inline constexpr int kToolbarStripHeight = 22;
inline constexpr int kToolbarTileSize = 16;
inline constexpr int kToolbarTileCount = 20;
inline constexpr QRgb kToolbarKeyColour = 0xFFFF00FF; // magenta (255, 0, 255)

// Draws the strip (RGB888, key-colour background).
[[nodiscard]] QImage MakeToolbarStrip();

// Replaces every pixel equal to the key colour, taken as the bottom-left pixel, by
// replacement. Done once at start; a later palette change is not followed.
void ReplaceKeyColour(QImage& image, const QColor& replacement);

// The 16 x 16 picture at index (0..19) of the strip, from its top rows.
[[nodiscard]] QPixmap ToolbarTile(const QImage& strip, int index);
