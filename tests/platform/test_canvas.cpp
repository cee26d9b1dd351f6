#include "platform/canvas.h"

#include <QPainter>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

// The bounds of the dark pixels that `draw` leaves on a white 300 x 60 page at `dotsPerMeter`.
template <typename Draw> QRect ink(int dotsPerMeter, Draw draw) {
    QImage image(300, 60, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    Canvas canvas(painter);
    draw(canvas);
    painter.end();
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 160)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

} // namespace

// Dashes are checked where they are used: the caret's frame around a picture, in the drawing tests.

TEST(Canvas, TextSitsOnTheMeasuredBaselineAtEveryDeviceResolution) {
    const Font font = *fontWithName("Arial", 20);
    const QSizeF size = textSize("HHHHHHHH", font);
    const auto text = [&](int dpm, TextDecoration d) {
        return ink(dpm, [&](Canvas& c) { c.drawText("HHHHHHHH", {20, 10}, font, Colour::black(), d); });
    };
    const QRect plain = text(3780, TextDecoration::None);
    // Capital H stands on the baseline, and the run ends within its advance.
    EXPECT_NEAR(plain.bottom() + 1, 10 + size.height() + fontDescender(font), 1.0);
    EXPECT_NEAR(plain.left(), 20, 3);
    EXPECT_NEAR(plain.right() + 1, 20 + size.width(), 3);
    EXPECT_EQ(text(7559, TextDecoration::None), plain);
    EXPECT_GT(text(3780, TextDecoration::Underline).bottom(), plain.bottom());
}

TEST(Canvas, EmptyAndHugeFontsAreHarmless) {
    // At a billion percent one glyph is far larger than the page, and drawing still returns. It is
    // white and drawn first, so it cannot hide ink from the empty font.
    EXPECT_FALSE(ink(3780, [](Canvas& c) {
                     c.drawText("H", {-1e10, -1e10}, *fontWithName("Arial", 1.5e10), Colour::white());
                     c.drawText("abc", {5, 5}, *fontWithName("Arial", 0), Colour::black());
                 }).isValid());
}

// Text drawn again is drawn from the glyphs kept the first times. It must look exactly as Qt's own
// drawText draws it (what the canvas did for every text before it kept glyphs), in every face, at
// every resolution and in either layout direction, and the glyphs kept for one face, resolution or
// direction must never be drawn for another; and their underlines and strike-through lines must be
// Qt's too. Some texts (a soft hyphen, a line separator, lines under glyphs from another font than
// the one asked for) are always drawn by Qt.
TEST(Canvas, TextDrawnAgainLooksAsQtDrawsIt) {
    const Font arial = *fontWithName("Arial", 15);
    const std::vector<Font> fonts = {
        arial,
        convertFontToHaveTrait(arial, BoldFontMask),
        convertFontToHaveTrait(*fontWithName("Times New Roman", 16), ItalicFontMask),
        *fontWithName("Courier New", 13),
        *fontWithName("Arial", 22.5),
        systemFontOfSize(12)};
    const QStringList texts = {"AVATAR Tyyp.",
                               "caf\u00e9 cafe\u0301",
                               "\u05e9\u05dc\u05d5\u05dd world",
                               "\u05e9\u05dc\u05d5\u05dd",
                               "\u0645\u0631\u062d\u0628\u0627",
                               "abc \u05d0\u05d1 def",
                               "\U0001F600x",
                               "a\tb",
                               "soft\u00adhyphen",
                               "\u00ad",
                               "x\u2028y",
                               "\ufb01ne office"};
    const auto draw = [](int dpm, Qt::LayoutDirection direction, auto&& paint) {
        QImage image(260, 40, QImage::Format_ARGB32_Premultiplied);
        image.setDotsPerMeterX(dpm);
        image.setDotsPerMeterY(dpm);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setLayoutDirection(direction);
        paint(painter);
        painter.end();
        return image;
    };
    for (int round = 0; round < 3; ++round) {
        for (const int dpm : {3780, 7559}) {
            for (const Qt::LayoutDirection direction : {Qt::LayoutDirectionAuto, Qt::RightToLeft}) {
                for (const Font& font : fonts) {
                    for (const QString& text : texts) {
                        for (const TextDecoration decoration :
                             {TextDecoration::None, TextDecoration::Underline, TextDecoration::StrikeThrough,
                              TextDecoration::Underline | TextDecoration::StrikeThrough}) {
                            const QImage canvas = draw(dpm, direction, [&](QPainter& painter) {
                                Canvas(painter).drawText(text, {5.3, 4.6}, font, Colour::black(), decoration);
                            });
                            const QImage qt = draw(dpm, direction, [&](QPainter& painter) {
                                QFont qfont = font.referenceFontForDevice(painter.device());
                                qfont.setUnderline(hasDecoration(decoration, TextDecoration::Underline));
                                qfont.setStrikeOut(hasDecoration(decoration, TextDecoration::StrikeThrough));
                                painter.setFont(qfont);
                                painter.translate(5.3,
                                                  4.6 + textSize("", font).height() + fontDescender(font));
                                painter.scale(font.referenceScale(), font.referenceScale());
                                painter.drawText(QPointF(0, 0), text);
                            });
                            EXPECT_TRUE(canvas == qt)
                                << qPrintable(font.family()) << " " << font.size() << " " << dpm << " "
                                << direction << " " << int(decoration) << " " << qPrintable(text);
                        }
                    }
                }
            }
        }
    }
    EXPECT_GT(keptGlyphCount(), 0);
}

TEST(Canvas, KeptGlyphsStayWithinTheirBudget) {
    const Font font = *fontWithName("Arial", 15);
    QImage image(200, 40, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    Canvas canvas(painter);
    const qsizetype previous = setKeptGlyphBudget(60);
    EXPECT_LE(keptGlyphCount(), 60);
    // Each text is drawn twice, so that its glyphs are kept: three glyphs and one for the text.
    for (int i = 100; i < 200; ++i) {
        for (int twice = 0; twice < 2; ++twice)
            canvas.drawText(QString::number(i), {0, 0}, font, Colour::black());
        EXPECT_TRUE(keptGlyphCount() >= 4 && keptGlyphCount() <= 60) << i << " " << keptGlyphCount();
    }
    setKeptGlyphBudget(0);
    EXPECT_EQ(keptGlyphCount(), 0);
    setKeptGlyphBudget(previous);
}
