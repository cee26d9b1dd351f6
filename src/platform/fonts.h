#pragma once

#include <QFont>
#include <QSizeF>
#include <QString>
#include <optional>

// A font at a size in document points (one point is one logical pixel of the view at every zoom).
// Sizes too small to show (0, negative, NaN, or below a hundredth of a point) give an empty font
// that measures 0 and draws nothing; very large sizes are held at a cap and their metrics scaled,
// so no zoom a user can type makes the font engine fail or hang.
class Font {
public:
    Font() = default;

    double size() const { return m_size; }
    bool isEmpty() const { return m_empty; }
    bool isBold() const { return m_font.bold(); }
    bool isItalic() const { return m_font.italic(); }
    // The family the font engine actually uses (a metric-compatible face for Arial and friends).
    QString family() const;

    // For the canvas: the Qt font at the capped size, and the factor that scales it to size().
    const QFont& qfont() const { return m_font; }
    double scale() const { return m_scale; }

private:
    friend std::optional<Font> fontWithName(const QString& name, double size);
    friend Font systemFontOfSize(double size);
    friend Font convertFontToHaveTrait(const Font& font, int trait);
    static Font make(QFont font, double size);

    QFont m_font;
    double m_size = 0.0;
    double m_scale = 1.0;
    bool m_empty = true;
};

// The font of the face `name` at `size`, or nothing when no such face is installed. A face counts as
// installed when fontconfig has a family of that name or a metric-compatible alias of it (Arial,
// Helvetica, Times New Roman, Times, Courier New and Courier resolve to the Liberation faces); the
// generic fallback fontconfig offers for unknown names does not count.
std::optional<Font> fontWithName(const QString& name, double size);

// The system font at `size`; always a font.
Font systemFontOfSize(double size);

// Trait masks for convertFontToHaveTrait.
constexpr int ItalicFontMask = 1;
constexpr int BoldFontMask = 2;

// The bold or italic variant of `font`, or `font` unchanged when its face has no such variant.
Font convertFontToHaveTrait(const Font& font, int trait);

// Distance below the baseline, zero or negative.
double fontDescender(const Font& font);

// One-line size of `text`: the advance width, and the font's line spacing (ascent + descent +
// leading) as height, the same for every string in that font.
QSizeF textSize(const QString& text, const Font& font);
