#include "platform/fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QStringList>

#include <algorithm>
#include <gtest/gtest.h>

// What Qt itself measures for `text` in `font` at the reference size on a 96 dpi device, scaled.
static double qtWidth(const QString& text, const Font& font) {
    QImage device(1, 1, QImage::Format_ARGB32_Premultiplied);
    device.setDotsPerMeterX(3780);
    device.setDotsPerMeterY(3780);
    return QFontMetricsF(font.referenceFontForDevice(&device), &device).horizontalAdvance(text) *
           font.referenceScale();
}

TEST(FontWithName, FindsInstalledFacesAndMetricAliases) {
    // The generic face fontconfig offers for an unknown name ("Sans" among them) does not count.
    QStringList families;
    for (const char* name : {"liberation sans", "DejaVu Serif", "arial", "Times New Roman", "Courier",
                             "No Such Face", "Sans", ""})
        families << (fontWithName(name, 12) ? fontWithName(name, 12)->family() : "none");
    EXPECT_EQ(families.join(", "), "Liberation Sans, DejaVu Serif, Liberation Sans, Liberation Serif, "
                                   "Liberation Mono, none, none, none");
    EXPECT_FALSE(systemFontOfSize(13).isEmpty());
}

TEST(FontTraits, UseRealFacesOnly) {
    const Font plain = *fontWithName("Liberation Serif", 15);
    const Font bold = convertFontToHaveTrait(plain, BoldFontMask);
    EXPECT_EQ(QFontInfo(convertFontToHaveTrait(bold, ItalicFontMask).qfont()).styleName(), "Bold Italic");
    EXPECT_GT(textSize("Wide words", bold).width(), textSize("Wide words", plain).width());
    // A face without a slanted or bold style gives the same font back rather than a synthesised one.
    // Which faces those are depends on the font packages installed, so they are looked up.
    for (const QString& family : QFontDatabase::families()) {
        const bool slanted = std::ranges::any_of(QFontDatabase::styles(family), [&](const QString& style) {
            return QFontDatabase::font(family, style, 12).style() != QFont::StyleNormal;
        });
        // Oblique counts as slanted: DejaVu Sans, when its oblique face is installed, has one.
        const std::optional<Font> font = fontWithName(family, 15);
        EXPECT_EQ(font && convertFontToHaveTrait(*font, ItalicFontMask).isItalic(), font && slanted)
            << qPrintable(family);
    }
}

TEST(TextSize, ScalesExactlyWithTheSizeAndIsNothingForAnEmptyFont) {
    const QString text = "The quick brown fox, 0123456789";
    const Font at15 = *fontWithName("Arial", 15);
    const QSizeF s15 = textSize(text, at15);
    EXPECT_DOUBLE_EQ(textSize(text, *fontWithName("Arial", 30)).width(), 2 * s15.width());
    EXPECT_DOUBLE_EQ(fontDescender(*fontWithName("Arial", 30)), 2 * fontDescender(at15));
    // Past the font engine's largest size too, as at a zoom of a billion percent.
    EXPECT_NEAR(textSize(text, *fontWithName("Arial", 1.5e10)).width() / s15.width(), 1e9, 1e3);
    // A 15-point face has a 15 logical pixel em, and its line is a little taller.
    EXPECT_TRUE(s15.height() > 15 && s15.height() < 20 && fontDescender(at15) < 0) << s15.height();
    for (const QString other : {"", "gjpqy", "ÁÉÍ", "\u4e2d\u6587"})
        EXPECT_EQ(textSize(other, at15).height(), s15.height()) << other.toStdString();
    // Sizes too small to show, infinite or not a number give an empty font that measures nothing.
    for (double size : {0.0, -5.0, qQNaN(), 0.005, qInf()}) {
        const Font font = *fontWithName("Arial", size);
        EXPECT_TRUE(font.isEmpty() && systemFontOfSize(size).isEmpty()) << size;
        EXPECT_TRUE(textSize("abc", font) == QSizeF(0, 0) && fontDescender(font) == 0.0) << size;
    }
}

// Widths are kept per face and shared by every size, so a text measured in one face must never be
// served for another: each width here, measured with the faces interleaved, is checked against Qt's
// own measurement of that very font at the reference size, scaled. (Plain and italic Liberation Sans
// differ by little more than a tenth of a point in these texts.)
TEST(TextSize, KeptWidthsBelongToTheirFace) {
    const Font plain = *fontWithName("Liberation Sans", 15);
    const Font serif = *fontWithName("Times New Roman", 15);
    const std::vector<Font> fonts = {
        plain,
        convertFontToHaveTrait(plain, BoldFontMask),
        convertFontToHaveTrait(plain, ItalicFontMask),
        convertFontToHaveTrait(convertFontToHaveTrait(plain, BoldFontMask), ItalicFontMask),
        serif,
        *fontWithName("Courier New", 15),
        systemFontOfSize(15),
        *fontWithName("Liberation Sans", 31)};
    for (int round = 0; round < 2; ++round) {
        for (const Font& font : fonts) {
            for (const QString text : {"iiii", "WWWW", "Wide words", "AVATAR Tyyp."}) {
                EXPECT_EQ(textSize(text, font).width(), qtWidth(text, font))
                    << qPrintable(font.family()) << " " << font.isBold() << font.isItalic() << " "
                    << font.size() << " " << qPrintable(text);
            }
        }
    }
}

TEST(TextSize, KeptWidthsStayWithinTheirBudget) {
    const Font font = *fontWithName("Arial", 15);
    std::vector<double> widths;
    for (int i = 0; i < 60; ++i)
        widths.push_back(textSize(QString::number(i + 10), font).width());
    const qsizetype previous = setMeasuredTextBudget(100);
    EXPECT_LE(measuredTextCount(), 100);
    // Two code units a text: at most 50 are kept, and every width is still right.
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 60; ++i)
            EXPECT_EQ(textSize(QString::number(i + 10), font).width(), widths[size_t(i)]) << i;
        // Dropped when full, then filled again: never fewer than the ten since the last drop.
        EXPECT_TRUE(measuredTextCount() >= 10 && measuredTextCount() <= 50) << measuredTextCount();
    }
    setMeasuredTextBudget(0);
    EXPECT_EQ(textSize("10", font).width(), widths[0]);
    EXPECT_EQ(measuredTextCount(), 0);
    setMeasuredTextBudget(previous);
}

// A long text is measured in pieces, and must measure what the whole text would: its parts' widths
// and what shaping does where they meet (w(pp) - 2 w(p) for a repeated part p). The whole text
// cannot be asked directly: Qt sums advances in 26.6 fixed point, which overflows at the 1000 px
// reference size past about 67,000 "x" and gave negative widths. Where it does not overflow the
// pieces must match it exactly.
TEST(TextSize, LongTextsMeasureAsTheirPartsDo) {
    const Font font = *fontWithName("Arial", 12);
    const auto width = [&](const QString& text) { return textSize(text, font).width(); };
    const QString sentence = "Tavaline AVATAR tekst, Tyyp. ";
    const QString marks = QString::fromUtf8("\u0301\u0316\u0302");
    // A text made of a prefix and n copies of a part.
    const std::tuple<const char*, QString, QString, int> rows[] = {
        {"67,200 x", "", "x", 67'200},
        {"three million x", "", "x", 3'000'000},
        {"a kerned sentence, 40,000 times", "", sentence, 40'000},
        {"a letter, then emoji: surrogate pairs", "a", QString::fromUtf8("\U0001F600"), 300'000},
        {"a letter and a million combining marks", "a", marks, 333'334},
    };
    for (const auto& [name, prefix, part, n] : rows) {
        const QString text = prefix + part.repeated(n);
        const TextMeasure measure = measureText(text, font);
        double expected = n * width(part) + (n - 1) * (width(part + part) - 2 * width(part));
        if (!prefix.isEmpty())
            expected += width(prefix + part) - width(part);
        EXPECT_NEAR(measure.size.width(), expected, 1e-6 * std::max(1.0, expected)) << name;
        EXPECT_EQ(measure.size.width(), width(text)) << name;

        // The pieces tile the text in order, none too long and none starting inside a surrogate pair.
        ASSERT_TRUE(measure.pieces) << name;
        const TextPieces& pieces = *measure.pieces;
        ASSERT_EQ(pieces.advances.size(), pieces.starts.size() + 1) << name;
        EXPECT_EQ(pieces.starts.front(), 0) << name;
        for (size_t i = 0; i < pieces.starts.size(); ++i) {
            const qsizetype end = i + 1 < pieces.starts.size() ? pieces.starts[i + 1] : text.size();
            EXPECT_TRUE(end > pieces.starts[i] && end - pieces.starts[i] <= kTextPieceLength &&
                        !text[pieces.starts[i]].isLowSurrogate())
                << name << " piece " << i;
        }
        EXPECT_EQ(pieces.total() * font.referenceScale(), measure.size.width()) << name;
    }
    // A hundred sentences do not overflow: the pieces give exactly Qt's width of the whole.
    const QString hundred = sentence.repeated(100);
    EXPECT_EQ(width(hundred), qtWidth(hundred, font));
    EXPECT_FALSE(measureText(sentence, font).pieces);
}
