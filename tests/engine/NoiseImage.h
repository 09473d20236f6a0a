#pragma once

#include <QImage>
#include <cstdint>

// Pseudo-random pixels (the same for the same seed): every pixel differs from its
// neighbours, so a misplaced one shows, and the JPEG coder gets little to squeeze.
inline QImage noiseImage(int width, int height, std::uint32_t seed = 1) {
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar* p = image.scanLine(y);
        for (int x = 0; x < width * 3; ++x) {
            seed = seed * 1664525u + 1013904223u;
            p[x] = static_cast<uchar>(seed >> 24);
        }
    }
    return image;
}
