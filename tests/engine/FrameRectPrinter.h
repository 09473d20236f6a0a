#pragma once

#include <ostream>

#include "engine/FrameRect.h"

// Lets GoogleTest show rectangles and sizes as numbers in failure messages.
inline void PrintTo(const FrameRect& r, std::ostream* out) {
    *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

inline void PrintTo(const FrameSize& s, std::ostream* out) {
    *out << s.width << " x " << s.height;
}
