#pragma once

#include "colour.h"
#include "fonts.h"

#include <QImage>
#include <QLineF>
#include <QRectF>
#include <initializer_list>

class QPainter;

enum class LineDash { Solid, FiveOnFiveOff };

enum class TextDecoration { None = 0, Underline = 1, StrikeThrough = 2 };
inline TextDecoration operator|(TextDecoration a, TextDecoration b) {
    return TextDecoration(int(a) | int(b));
}
inline bool hasDecoration(TextDecoration set, TextDecoration one) {
    return (int(set) & int(one)) != 0;
}

// The 2-D drawing the document view needs, in points with the origin top-left and y downward,
// on top of a QPainter that the caller owns. Drawing methods are virtual so that tests can record
// what is drawn.
class Canvas {
public:
    explicit Canvas(QPainter& painter);
    virtual ~Canvas() = default;

    // Fills the rectangle, alpha blended, with the current antialiasing setting.
    virtual void fillRect(const QRectF& rect, const Colour& colour);
    // Strokes each segment with a line of width 1.
    virtual void strokeSegments(std::initializer_list<QLineF> segments, const Colour& colour,
                                LineDash dash = LineDash::Solid);
    virtual void strokeRect(const QRectF& rect, const Colour& colour, LineDash dash = LineDash::Solid);
    // Draws the whole image scaled into `target`, smoothly.
    virtual void drawImage(const QRectF& target, const QImage& image);
    // Draws `text` on one line with the top-left corner of its line box at `topLeft`: the baseline
    // lies at topLeft.y + line spacing + descender of `font`, as textSize() measures it.
    virtual void drawText(const QString& text, const QPointF& topLeft, const Font& font, const Colour& colour,
                          TextDecoration decoration = TextDecoration::None);

    void setAntialiasing(bool on);
    void save();
    void restore();
    void translate(double dx, double dy);
    void scale(double sx, double sy);

    QPainter& painter() { return m_painter; }

private:
    QPainter& m_painter;
};

// Canvas keeps the glyphs of texts it draws again and again, up to a budget of glyphs over all
// fonts; all are dropped together when it is spent. How many are kept, and setting the budget
// (returns the previous one).
qsizetype keptGlyphCount();
qsizetype setKeptGlyphBudget(qsizetype nGlyphs);
