#pragma once

#include <QFont>
#include <QPaintDevice>
#include <QSizeF>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class FontFace;

// A font at a size in document points (one point is one logical pixel of the view at every zoom).
// Sizes too small to show (0, negative, NaN, below a hundredth of a point, or infinite) give an
// empty font that measures 0 and draws nothing; very large sizes are held at a cap and their metrics
// scaled, so no zoom a user can type makes the font engine fail or hang.
//
// A font is its face (family, bold, italic) and a size. Text is measured and drawn in the face at one
// fixed reference size and scaled, so the faces are shared by every size and every zoom, and so are
// the widths they have measured.
class Font {
public:
    Font() = default;

    double size() const { return m_size; }
    bool isEmpty() const { return m_empty; }
    bool isBold() const;
    bool isItalic() const;
    // The family the font engine actually uses (a metric-compatible face for Arial and friends).
    QString family() const;

    // The Qt font at the size, held at the cap.
    QFont qfont() const;

    // What measuring and the canvas use: the face at one fixed reference size, resolved for drawing
    // on `device`, and the factor that scales it to size(). Measuring at one size and scaling keeps
    // widths exactly proportional to the zoom, and drawing through the same font keeps the glyphs
    // where measuring put them.
    QFont referenceFontForDevice(const QPaintDevice* device) const;
    double referenceScale() const { return m_referenceScale; }

    // The shared face; null only for a default-constructed font.
    const FontFace* face() const { return m_face.get(); }

private:
    friend std::optional<Font> fontWithName(const QString& name, double size);
    friend Font systemFontOfSize(double size);
    friend Font convertFontToHaveTrait(const Font& font, int trait);
    static Font make(std::shared_ptr<const FontFace> face, double size);

    std::shared_ptr<const FontFace> m_face;
    double m_size = 0.0;
    double m_referenceScale = 0.0;
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

// Texts longer than this many code units are measured in pieces of at most this length and drawn a
// few pieces at a time: shaping a whole long text costs more than linear time in places, its advance
// can pass what the font engine's fixed-point numbers hold, and a screen shows only a little of it.
constexpr qsizetype kTextPieceLength = 1024;

// Where a long text was cut and the advance before each piece, at the reference size of the face it
// was measured in (scale by Font::referenceScale()). Pieces end after a space where one is near, and
// never inside a surrogate pair; what shaping does across a cut (kerning, joining) is measured from
// the characters around it and counted in the advance of the piece after it.
struct TextPieces {
    const FontFace* face = nullptr;
    // The text measured (shared, not copied) and its length.
    QString text;
    qsizetype length = 0;
    // The first code unit of each piece, from 0.
    std::vector<qsizetype> starts;
    // The advance before each piece, and last the advance of the whole text: one more than starts.
    std::vector<double> advances;

    double total() const { return advances.empty() ? 0.0 : advances.back(); }
};

// What measuring a text gives: its one-line size, and for a text longer than kTextPieceLength its
// pieces. `known` is an earlier measurement of the same text to reuse when it was made in the same
// face (the pieces do not depend on the size).
struct TextMeasure {
    QSizeF size;
    std::shared_ptr<const TextPieces> pieces;
};
TextMeasure measureText(const QString& text, const Font& font,
                        const std::shared_ptr<const TextPieces>& known = {});

// How many texts the faces keep measured widths of, over all faces. The widths are kept up to a
// budget of text length (in code units, an empty text counting one) and dropped together when the
// next one would pass it.
qsizetype measuredTextCount();
// Sets that budget; returns the previous one.
qsizetype setMeasuredTextBudget(qsizetype nCodeUnits);
