#pragma once

#include <QColor>

#include <ostream>

// Readable colours in failure messages: "rgb(180, 196, 228)".
inline void PrintTo(const QColor& colour, std::ostream* os) {
    *os << "rgb(" << colour.red() << ", " << colour.green() << ", " << colour.blue() << ")";
}
