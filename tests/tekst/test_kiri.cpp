#include "tekst/KIRI.h"

#include <gtest/gtest.h>

namespace {

KIRI read(const QString& text) {
    KIRI kiri;
    kiri.LooSonest(text);
    return kiri;
}

KIRI style(const char* face, double size, QString flags, Colour colour = Colour::black()) {
    return KIRI(face, size, flags[0] == '1', flags[1] == '1', flags[2] == '1', flags[3] == '1',
                flags[4] == '1', flags[5] == '1', colour);
}

} // namespace

TEST(Kiri, ReadsTheTextForm) {
    const struct {
        const char* text;
        KIRI expected;
    } rows[] = {
        {"Arial;12;0;0;0;0;0;0;#000000", style("Arial", 12, "000000")},
        {"Times;10.5;1;1;0;0;0;0;#ff0000", style("Times", 10.5, "110000", {1, 0, 0, 1})},
        {"Arial;;12;0;0;0;0;0;0;#000000", style("Arial", 12, "000000")},
        {";Arial;12;0;0;1;1;0;1;#0000ff;extra;", style("Arial", 12, "001101", {0, 0, 1, 1})},
        {" My Face ;x;yes;t;no;f;2;0;#00ff00", style(" My Face ", 0, "110010", {0, 1, 0, 1})},
        // Missing pieces keep the defaults.
        {"Courier;20;1", style("Courier", 20, "100000")},
        {"", KIRI()},
    };
    for (const auto& row : rows) {
        EXPECT_TRUE(read(row.text).OnSama(row.expected)) << row.text;
        EXPECT_EQ(read(row.text).m_strKirjatuup, row.expected.m_strKirjatuup) << row.text;
    }
    // Reading overwrites fields that an earlier reading set.
    KIRI kiri = read("Times;30;1;1;1;1;1;1;#ffffff");
    kiri.LooSonest("Arial;12");
    EXPECT_TRUE(kiri.OnSama(style("Arial", 12, "000000")));
    EXPECT_TRUE(kiri.copy().OnSama(kiri));
}

TEST(Kiri, SameStyleRule) {
    const KIRI base = read("Arial;12;0;0;0;0;0;0;#000000");
    EXPECT_FALSE(base.OnSama(KIRI()));
    for (const char* other : {"arial;12;0;0;0;0;0;0;#000000", "Arial;12.000001;0;0;0;0;0;0;#000000",
                              "Arial;12;0;0;0;0;0;1;#000000", "Arial;12;0;0;0;0;0;0;#000001"})
        EXPECT_FALSE(base.OnSama(read(other))) << other;
    // A precomposed letter and a letter with a combining mark name the same face.
    EXPECT_TRUE(read(QStringLiteral("Caf\u00e9;12")).OnSama(read(QStringLiteral("Cafe\u0301;12"))));
    EXPECT_FALSE(read(QStringLiteral("Caf\u00e9;12")).OnSama(read(QStringLiteral("CAF\u00c9;12"))));
}

TEST(Kiri, FontSizeFollowsZoomAndIndex) {
    const struct {
        KIRI kiri;
        double zoom;
        bool index;
        double size;
    } rows[] = {{KIRI(), 200, false, 30},
                {KIRI(), 200, true, 30},
                {style("Arial", 15, "000010"), 200, true, 18},
                {style("Arial", 15, "000001"), 100, true, 9},
                {style("Arial", 15, "000010"), 100, false, 15}};
    for (const auto& row : rows)
        EXPECT_DOUBLE_EQ(row.kiri.TooFont(row.zoom, row.index).size(), row.size) << row.size;
}

TEST(Kiri, FontFaceAndTraits) {
    const Font boldItalic = read("Times;10.5;1;1;0;0;0;0;#ff0000").TooFont(100, false);
    EXPECT_EQ(boldItalic.family(), "Liberation Serif");
    EXPECT_TRUE(boldItalic.isBold() && boldItalic.isItalic());
    // An unknown face falls back to the plain system font, even for a bold italic style.
    const Font fallback = read("No Such Face;12;1;1;0;0;0;0;#000000").TooFont(100, false);
    EXPECT_EQ(fallback.family(), systemFontOfSize(12).family());
    EXPECT_FALSE(fallback.isBold() || fallback.isItalic());
}
