#pragma once

#include <QRect>
#include <QSize>
#include <ostream>

// The rectangle from left, top to right, bottom, the right and bottom edges lying just
// outside it (Edges(0, 0, 10, 5) is 10 wide and 5 high), as the worked examples give them.
inline QRect edges(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

// The column just right of r and the row just below it.
inline int rightEdge(const QRect& r) {
    return r.x() + r.width();
}
inline int bottomEdge(const QRect& r) {
    return r.y() + r.height();
}

// Lets GoogleTest show rectangles and sizes as numbers in failure messages, rectangles by
// their edges as Edges takes them.
inline void printTo(const QRect& r, std::ostream* out) {
    *out << "(" << r.x() << ", " << r.y() << ", " << rightEdge(r) << ", " << bottomEdge(r) << ")";
}

inline void printTo(const QSize& s, std::ostream* out) {
    *out << s.width() << " x " << s.height();
}
