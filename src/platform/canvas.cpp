#include "platform/canvas.h"

#include "platform/fontface.h"

#include <QGlyphRun>
#include <QHash>
#include <QPainter>
#include <QPen>
#include <QRawFont>
#include <QTextLayout>

#include <cmath>
#include <utility>
#include <vector>

namespace {

// Shaping is most of what drawing a short text costs, and the same words come back on every redraw:
// the glyphs of each text drawn are kept, as QPainter::drawText would shape and place them, up to
// this many glyphs in all (a few tens of megabytes; a screen shows a few thousand).
constexpr qsizetype kShapedGlyphBudget = 1'000'000;

// The glyphs of one text, positioned from its baseline at the reference size. A text that drawing
// glyph by glyph would not show as QPainter::drawText does is drawn as text, and so is a text seen
// only once so far: keeping glyphs costs more than drawing the text, and pays only when it comes back.
struct Shaped {
    QList<QGlyphRun> runs;
    // The advance of the whole text, which underlines and strike-through lines span.
    double advance = 0.0;
    // Whether the text is one run of glyphs from the font itself (none from a fallback font, and
    // none from a font chosen for its script), where the font's own lines apply.
    bool ownFont = false;
    bool drawAsText = false;
    bool seenOnce = false;
};

// Where a font puts its underline and strike-through lines, at the reference size.
struct LineMetrics {
    double thickness = 0.0;
    double underlinePosition = 0.0;
    double ascent = 0.0;
    double descent = 0.0;
};

// The texts shaped in one font, resolved for one kind of device, in one layout direction.
struct ShapedFont {
    const FontFace* face = nullptr;
    QFont font;
    Qt::LayoutDirection direction = Qt::LayoutDirectionAuto;
    QHash<QString, Shaped> texts;
    QRawFont raw;
    LineMetrics lines;
};

struct ShapedTexts {
    std::vector<ShapedFont> fonts;
    qsizetype nGlyphs = 0;
    qsizetype nBudget = kShapedGlyphBudget;
};

// Never destroyed: the glyph runs hold fonts that must not outlive the font engine.
ShapedTexts& shapedTexts() {
    static ShapedTexts* const all = new ShapedTexts;
    return *all;
}

Shaped shape(const QString& text, const QFont& font, Qt::LayoutDirection direction, const QRawFont& ownFont) {
    Shaped shaped;
    // A soft hyphen shows only at the end of a broken line, where drawText shows it too.
    if (text.contains(QChar(0x00AD))) {
        shaped.drawAsText = true;
        return shaped;
    }
    QTextLayout layout(text, font);
    QTextOption option;
    // As QPainter::drawText lays a text out: on one line from its left end, in the painter's layout
    // direction (which may leave it to the text).
    option.setTextDirection(direction);
    option.setWrapMode(QTextOption::NoWrap);
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    // A line or paragraph separator starts another line, where drawText keeps to one.
    const bool oneLine = line.isValid() && !layout.createLine().isValid();
    layout.endLayout();
    if (!oneLine) {
        shaped.drawAsText = true;
        return shaped;
    }
    shaped.runs = line.glyphRuns();
    shaped.advance = line.horizontalAdvance();
    shaped.ownFont = shaped.runs.size() == 1 && shaped.runs.front().rawFont() == ownFont;
    for (QGlyphRun& run : shaped.runs) {
        QList<QPointF> positions = run.positions();
        for (QPointF& position : positions)
            position.ry() -= line.ascent();
        run.setPositions(positions);
        // The lines are drawn as drawText draws them, not as a glyph run would.
        run.setUnderline(false);
        run.setStrikeOut(false);
        run.setOverline(false);
    }
    return shaped;
}

// The glyphs of `text` in the painter's current font and direction, shaped the first time, and where
// that font draws its lines.
std::pair<const Shaped&, const LineMetrics&> shapedText(const QString& text, const FontFace* face,
                                                        const QPainter& painter) {
    ShapedTexts& all = shapedTexts();
    const QFont font = painter.font();
    const Qt::LayoutDirection direction = painter.layoutDirection();
    ShapedFont* fontTexts = nullptr;
    for (ShapedFont& candidate : all.fonts) {
        if (candidate.face == face && candidate.direction == direction && candidate.font == font) {
            fontTexts = &candidate;
            break;
        }
    }
    if (!fontTexts) {
        const QRawFont raw = QRawFont::fromFont(font);
        const LineMetrics lines{raw.lineThickness(), raw.underlinePosition(), raw.ascent(), raw.descent()};
        fontTexts = &all.fonts.emplace_back(ShapedFont{face, font, direction, {}, raw, lines});
    }
    // Room for `glyphs` more: when the budget is spent, every kept text goes at once.
    const auto makeRoom = [&all](qsizetype glyphs) {
        if (all.nGlyphs + glyphs > all.nBudget) {
            for (ShapedFont& other : all.fonts)
                other.texts.clear();
            all.nGlyphs = 0;
        }
        all.nGlyphs += glyphs;
    };
    const auto it = fontTexts->texts.constFind(text);
    if (it == fontTexts->texts.constEnd()) {
        makeRoom(1);
        return {*fontTexts->texts.insert(text, Shaped{{}, 0.0, false, true, true}), fontTexts->lines};
    }
    if (!it->seenOnce)
        return {*it, fontTexts->lines};

    Shaped shaped = shape(text, font, direction, fontTexts->raw);
    qsizetype glyphs = 1;
    for (const QGlyphRun& run : shaped.runs)
        glyphs += run.glyphIndexes().size();
    makeRoom(glyphs);
    return {*fontTexts->texts.insert(text, std::move(shaped)), fontTexts->lines};
}

// The underline and strike-through lines of a text `advance` long whose baseline is at y 0, as
// QPainter::drawText draws them for one run of glyphs.
void drawLines(QPainter& painter, const LineMetrics& lines, double advance, TextDecoration decoration) {
    QPen pen = painter.pen();
    pen.setStyle(Qt::SolidLine);
    pen.setWidthF(lines.thickness);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const QLineF line(0.0, 0.0, std::floor(advance), 0.0);
    if (hasDecoration(decoration, TextDecoration::Underline)) {
        // Below the baseline by at least the font's offset, but inside its descent.
        double offset = std::ceil(lines.underlinePosition) + 0.5;
        if (lines.underlinePosition <= lines.descent)
            offset = std::min(offset, lines.descent - 0.5);
        painter.drawLine(line.translated(0.0, offset));
    }
    if (hasDecoration(decoration, TextDecoration::StrikeThrough))
        painter.drawLine(line.translated(0.0, -lines.ascent / 3.0));
}

QPen linePen(const Colour& colour, LineDash dash) {
    QPen pen(colour.toQColor(), 1.0);
    // Flat caps keep each dash exactly five units long, as the pattern says.
    pen.setCapStyle(Qt::FlatCap);
    if (dash == LineDash::FiveOnFiveOff)
        pen.setDashPattern({5.0, 5.0});
    return pen;
}

} // namespace

Canvas::Canvas(QPainter& painter) : m_painter(painter) {
    // Shapes are antialiased unless a caller switches it off for crisp fills.
    m_painter.setRenderHint(QPainter::Antialiasing, true);
}

void Canvas::fillRect(const QRectF& rect, const Colour& colour) {
    m_painter.fillRect(rect, colour.toQColor());
}

void Canvas::strokeSegments(std::initializer_list<QLineF> segments, const Colour& colour, LineDash dash) {
    m_painter.save();
    m_painter.setPen(linePen(colour, dash));
    m_painter.setBrush(Qt::NoBrush);
    for (const QLineF& segment : segments)
        m_painter.drawLine(segment);
    m_painter.restore();
}

void Canvas::strokeRect(const QRectF& rect, const Colour& colour, LineDash dash) {
    m_painter.save();
    m_painter.setPen(linePen(colour, dash));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRect(rect);
    m_painter.restore();
}

void Canvas::drawImage(const QRectF& target, const QImage& image) {
    if (image.isNull() || target.isEmpty())
        return;
    m_painter.save();
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    m_painter.drawImage(target, image, QRectF(image.rect()));
    m_painter.restore();
}

void Canvas::drawText(const QString& text, const QPointF& topLeft, const Font& font, const Colour& colour,
                      TextDecoration decoration) {
    if (font.isEmpty() || text.isEmpty())
        return;
    QFont qfont = font.referenceFontForDevice(m_painter.device());
    qfont.setUnderline(hasDecoration(decoration, TextDecoration::Underline));
    qfont.setStrikeOut(hasDecoration(decoration, TextDecoration::StrikeThrough));

    // The line box's height is the same for every string, so the empty one gives it without
    // shaping the text twice.
    const double baseline = topLeft.y() + textSize(QString(), font).height() + fontDescender(font);
    m_painter.save();
    m_painter.setFont(qfont);
    m_painter.setPen(colour.toQColor());
    m_painter.translate(topLeft.x(), baseline);
    // The glyphs come from the same reference font that measuring used, scaled to the real size.
    m_painter.scale(font.referenceScale(), font.referenceScale());
    // Kept glyphs draw as drawText would. It draws lines under or through each run of glyphs of one
    // font, placed by the font it takes for the run's script; text in any other font than the one
    // asked for is left to it.
    const auto [shaped, lines] = shapedText(text, font.face(), m_painter);
    if (!shaped.drawAsText && (decoration == TextDecoration::None || shaped.ownFont)) {
        for (const QGlyphRun& run : shaped.runs)
            m_painter.drawGlyphRun(QPointF(0.0, 0.0), run);
        if (decoration != TextDecoration::None)
            drawLines(m_painter, lines, shaped.advance, decoration);
    } else {
        m_painter.drawText(QPointF(0.0, 0.0), text);
    }
    m_painter.restore();
}

void Canvas::setAntialiasing(bool on) {
    m_painter.setRenderHint(QPainter::Antialiasing, on);
}

void Canvas::save() {
    m_painter.save();
}

void Canvas::restore() {
    m_painter.restore();
}

void Canvas::translate(double dx, double dy) {
    m_painter.translate(dx, dy);
}

void Canvas::scale(double sx, double sy) {
    m_painter.scale(sx, sy);
}

qsizetype keptGlyphCount() {
    return shapedTexts().nGlyphs;
}

qsizetype setKeptGlyphBudget(qsizetype nGlyphs) {
    ShapedTexts& all = shapedTexts();
    const qsizetype previous = all.nBudget;
    all.nBudget = std::max<qsizetype>(nGlyphs, 0);
    if (all.nGlyphs > all.nBudget) {
        for (ShapedFont& other : all.fonts)
            other.texts.clear();
        all.nGlyphs = 0;
    }
    return previous;
}
