#pragma once

#include <QColor>

// An RGBA colour with double components in 0.0 ... 1.0. Kept as doubles (not QColor's 16-bit
// channels) so that equality of styles and highlights compares exactly the values the documents give.
struct Colour {
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
    double alpha = 1.0;

    bool operator==(const Colour& other) const = default;

    QColor toQColor() const { return QColor::fromRgbF(red, green, blue, alpha); }

    static Colour white() { return {1.0, 1.0, 1.0, 1.0}; }
    static Colour black() { return {0.0, 0.0, 0.0, 1.0}; }
};
