#pragma once

#include <QImage>

// The photo the benchmarks work on: 6000 x 4000 pixels of smooth gradients with fine
// texture, so the JPEG coder has real work.
inline constexpr int kPhotoWidth = 6000;
inline constexpr int kPhotoHeight = 4000;

inline QImage makePicture() {
    QImage image(kPhotoWidth, kPhotoHeight, QImage::Format_RGB888);
    for (int y = 0; y < kPhotoHeight; ++y) {
        uchar* p = image.scanLine(y);
        for (int x = 0; x < kPhotoWidth; ++x, p += 3) {
            const int grain = ((x * 7 + y * 13) ^ (x * y)) & 15;
            p[0] = static_cast<uchar>(x * 200 / kPhotoWidth + grain);
            p[1] = static_cast<uchar>(y * 200 / kPhotoHeight + grain);
            p[2] = static_cast<uchar>(((x + y) & 127) + grain);
        }
    }
    return image;
}
