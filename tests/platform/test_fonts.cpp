#include "platform/fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

#include <algorithm>
#include <gtest/gtest.h>

TEST(FontWithName, FindsInstalledFacesAndMetricAliases) {
    const struct {
        const char* name;
        const char* family; // nullptr: not installed
    } rows[] = {{"liberation sans", "Liberation Sans"},
                {"DejaVu Serif", "DejaVu Serif"},
                {"arial", "Liberation Sans"},
                {"Helvetica", "Liberation Sans"},
                {"Times New Roman", "Liberation Serif"},
                {"Times", "Liberation Serif"},
                {"Courier", "Liberation Mono"},
                {"No Such Face", nullptr},
                {"Sans", nullptr},
                {"", nullptr}};
    for (const auto& row : rows) {
        const std::optional<Font> font = fontWithName(row.name, 12);
        ASSERT_EQ(font.has_value(), row.family != nullptr) << row.name;
        if (font) {
            EXPECT_EQ(font->family(), row.family) << row.name;
        }
    }
    EXPECT_FALSE(systemFontOfSize(13).isEmpty());
}

TEST(FontTraits, UseRealFacesOnly) {
    const Font plain = *fontWithName("Liberation Serif", 15);
    const Font bold = convertFontToHaveTrait(plain, BoldFontMask);
    const Font boldItalic = convertFontToHaveTrait(bold, ItalicFontMask);
    EXPECT_TRUE(bold.isBold() && !bold.isItalic());
    EXPECT_EQ(QFontInfo(boldItalic.qfont()).styleName(), "Bold Italic");
    EXPECT_GT(textSize("Wide words", bold).width(), textSize("Wide words", plain).width());
    // A face without a slanted or bold style gives the same font back rather than a synthesised one.
    // Which faces those are depends on the font packages installed, so they are looked up.
    for (const QString& family : QFontDatabase::families()) {
        const QStringList styles = QFontDatabase::styles(family);
        const bool slanted = std::any_of(styles.begin(), styles.end(), [&](const QString& style) {
            return QFontDatabase::font(family, style, 12).style() != QFont::StyleNormal;
        });
        const std::optional<Font> font = fontWithName(family, 15);
        if (!font)
            continue;
        // Oblique counts as slanted: DejaVu Sans, when its oblique face is installed, has one.
        EXPECT_EQ(convertFontToHaveTrait(*font, ItalicFontMask).isItalic(), slanted) << qPrintable(family);
    }
}

TEST(TextSize, ScalesExactlyWithTheSize) {
    const QString text = "The quick brown fox, 0123456789";
    const Font at15 = *fontWithName("Arial", 15);
    const QSizeF s15 = textSize(text, at15);
    EXPECT_DOUBLE_EQ(textSize(text, *fontWithName("Arial", 30)).width(), 2 * s15.width());
    EXPECT_DOUBLE_EQ(textSize(text, *fontWithName("Arial", 7.5)).width(), s15.width() / 2);
    EXPECT_DOUBLE_EQ(fontDescender(*fontWithName("Arial", 30)), 2 * fontDescender(at15));
    // A 15-point face has a 15 logical pixel em, and its line is a little taller.
    EXPECT_GT(s15.height(), 15.0);
    EXPECT_LT(s15.height(), 20.0);
    EXPECT_LT(fontDescender(at15), 0.0);
    for (const QString other : {"", "gjpqy", "ÁÉÍ", "\u4e2d\u6587"})
        EXPECT_EQ(textSize(other, at15).height(), s15.height()) << other.toStdString();
}

TEST(TextSize, ExtremeSizesNeitherFailNorHang) {
    for (double size : {0.0, -5.0, qQNaN(), 0.005, qInf()}) {
        const Font font = *fontWithName("Arial", size);
        EXPECT_TRUE(font.isEmpty()) << size;
        EXPECT_EQ(textSize("abc", font), QSizeF(0, 0)) << size;
        EXPECT_EQ(fontDescender(font), 0.0) << size;
        EXPECT_TRUE(systemFontOfSize(size).isEmpty()) << size;
    }
    const Font normal = *fontWithName("Arial", 15);
    const Font huge = *fontWithName("Arial", 1.5e10);
    EXPECT_NEAR(textSize("Hello", huge).width() / textSize("Hello", normal).width(), 1e9, 1e3);
}
