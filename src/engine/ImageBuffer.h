#pragma once

#include <QImage>

// A new Format_RGB888 image of width x height with uninitialised pixels; null when memory is
// short. Big buffers are mapped with transparent huge pages: first touching a photo's 70 MB
// page by 4 KB page costs as much as turning it on virtual machines.
[[nodiscard]] QImage allocateRgb888(int width, int height);
