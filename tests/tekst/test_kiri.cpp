#include "tekst/KIRI.h"

#include <gtest/gtest.h>

// Reads into a style whose every field an earlier reading set, as reading must replace them all.
static KIRI read(const QString& text) {
    KIRI kiri("Times", 30, true, true, true, true, true, true, Colour::white());
    kiri.LooSonest(text);
    return kiri;
}

// The flags in the order of the text form, the first as the highest bit.
static KIRI style(const char* face, double size, int flags, Colour colour = Colour::black()) {
    return KIRI(face, size, flags & 32, flags & 16, flags & 8, flags & 4, flags & 2, flags & 1, colour);
}

TEST(Kiri, ReadsTheTextForm) {
    // Empty pieces are dropped, extra ones ignored, and missing ones keep the defaults.
    const std::pair<const char*, KIRI> rows[] = {
        {";Arial;12;0;0;1;1;0;1;#0000ff;extra;", style("Arial", 12, 0b001101, {0, 0, 1, 1})},
        {" My Face ;x;yes;t;no;f;2;0;#00ff00", style(" My Face ", 0, 0b110010, {0, 1, 0, 1})},
        {"Courier;;20;1", style("Courier", 20, 0b100000)},
        {"", KIRI()},
    };
    for (const auto& [text, expected] : rows)
        EXPECT_TRUE(read(text).copy().OnSama(expected)) << text;
}

// A face name is cut to its longest length, never inside a surrogate pair, and the fields after it
// still read; what follows the ninth piece is ignored however long it is.
TEST(Kiri, LongTextsKeepWhatMatters) {
    const qsizetype n = KIRI::kSuurimKirjatuup;
    const QString grin = QStringLiteral("\U0001F600");
    const std::tuple<const char*, QString, QString> rows[] = {
        {"at the limit", QString(n, u'x'), QString(n, u'x')},
        {"beyond it", QString(n + 1, u'x') + ";12;1", QString(n, u'x')},
        {"pair across the cut", QString(n - 1, u'x') + grin + ";12;1", QString(n - 1, u'x')},
        {"pair before the cut", QString(n - 2, u'x') + grin + "y;12;1", QString(n - 2, u'x') + grin},
    };
    for (const auto& [name, text, face] : rows)
        EXPECT_EQ(read(text).m_strKirjatuup, face) << name;
    EXPECT_TRUE(
        read(QString(n + 1, u'x') + ";12;1").OnSama(style(qPrintable(QString(n, u'x')), 12, 0b100000)));
    EXPECT_TRUE(read("A;12;1;0;0;0;0;0;#ff0000;" + QString("x;").repeated(1000000))
                    .OnSama(style("A", 12, 0b100000, {1, 0, 0, 1})));
}

// Face names that differ only in composition are the same face; the reader's tests cover them.
TEST(Kiri, SameStyleRule) {
    const KIRI base = read("A;12");
    for (const char* other : {"a;12", "A;12.0000001", "A;12;1", "A;12;0;1", "A;12;0;0;1", "A;12;0;0;0;1",
                              "A;12;0;0;0;0;1", "A;12;0;0;0;0;0;1", "A;12;0;0;0;0;0;0;#000001"})
        EXPECT_FALSE(base.OnSama(read(other))) << other;
}

// Index styles are set at 60 % of the zoomed size, for drawing only; measuring shows the rest.
TEST(Kiri, FontFollowsZoomIndexFaceAndTraits) {
    EXPECT_DOUBLE_EQ(read("Arial;15;0;0;0;0;1;0").TooFont(200, true).size(), 18);
    EXPECT_DOUBLE_EQ(read("Arial;15;0;0;0;0;0;1").TooFont(100, true).size(), 9);
    const Font boldItalic = read("Times;10.5;1;1").TooFont(100, false);
    EXPECT_TRUE(boldItalic.family() == "Liberation Serif" && boldItalic.isBold() && boldItalic.isItalic());
    // An unknown face falls back to the plain system font, even for a bold italic style.
    const Font plain = read("No Such Face;12;1;1").TooFont(100, false);
    EXPECT_TRUE(plain.family() == systemFontOfSize(12).family() && !plain.isBold() && !plain.isItalic());
}
