#include "platform/strings.h"

#include <QStringList>
#include <cmath>
#include <gtest/gtest.h>

TEST(LenientDouble, ReadsTheLeadingNumber) {
    const double inf = qInf();
    const std::pair<const char16_t*, double> rows[] = {
        {u" \t\n12abc", 12}, {u"-3.25x", -3.25}, {u".5", 0.5},      {u"5.", 5},     {u"25E-1", 2.5},
        {u"3e+x", 3},        {u"", 0},           {u".", 0},         {u"nan", 0},    {u"inf", 0},
        {u"0x10", 0},        {u"1e999", inf},    {u"-1e999", -inf}, {u"1e-999", 0}, {u"5e-324", 5e-324},
        {u"1\u0663", 1},     {u"+7", 7},         {u"3e", 3},        {u"abc", 0},    {u"12e400", inf},
        {u"-", 0},           {u"0.001e-400", 0}};
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(lenientDouble(text), expected) << QString::fromUtf16(text).toStdString();
    // An exponent too long for any integer type.
    EXPECT_EQ(lenientDouble(u"0e99999999999999999999"), 0);
    EXPECT_TRUE(std::signbit(lenientDouble(u"-0")));
}

TEST(LenientBool, FollowsTheFirstCharacterAfterSignAndZeros) {
    for (const char16_t* text : {u"1", u"true", u"Yes", u"t", u"7", u" 12abc", u"+0001", u"-5", u"\n T"})
        EXPECT_TRUE(lenientBool(text)) << QString::fromUtf16(text).toStdString();
    for (const char16_t* text : {u"0", u"false", u"no", u"", u"-0", u"0x10", u"000", u"+-1", u"x1"})
        EXPECT_FALSE(lenientBool(text)) << QString::fromUtf16(text).toStdString();
}

TEST(ScanHexInt, ReadsTheLongestRunAndSaturates) {
    using Row = std::tuple<const char16_t*, qsizetype, quint32>;
    const Row rows[] = {{u"  aBc", 0, 0xabc},  {u"0X1f", 0, 0x1f},     {u"0x", 0, 0},
                        {u"0xg", 0, 0},        {u"12g34", 0, 0x12},    {u"#FF8000", 1, 0xff8000},
                        {u"#", 1, 0},          {u"ab", 5, 0},          {u"xyz", 0, 0},
                        {u"ffffffff", 0, ~0u}, {u"100000000", 0, ~0u}, {u"0000000000001", 0, 1}};
    for (const auto& [text, start, expected] : rows)
        EXPECT_EQ(scanHexInt(text, start), expected) << QString::fromUtf16(text).toStdString();
}

TEST(NonEmptyPieces, DropsEmptyPiecesAndWalksOnlyAsFarAsAsked) {
    const std::pair<const char16_t*, QStringList> rows[] = {
        {u"", {}}, {u";;;", {}}, {u"a", {"a"}}, {u";a;;b;", {"a", "b"}}, {u" ; x", {" ", " x"}}};
    for (const auto& [text, expected] : rows) {
        NonEmptyPieces pieces(text, u';');
        QStringList found;
        while (const std::optional<QStringView> piece = pieces.next())
            found.push_back(piece->toString());
        EXPECT_EQ(found, expected) << QString::fromUtf16(text).toStdString();
    }
    NonEmptyPieces pieces(u";ab;;cd;ef;gh", u';');
    EXPECT_EQ(pieces.position(), 0);
    pieces.next();
    pieces.next();
    EXPECT_EQ(pieces.position(), 7);
}

TEST(SubstringSearch, FindsTheFirstAcceptedOccurrenceWithinTheRange) {
    using Row = std::tuple<const char*, const char16_t*, const char16_t*, qsizetype, qsizetype, qsizetype>;
    const Row rows[] = {
        {"at the start", u"abcab", u"ab", 0, 5, 0},
        {"from the middle", u"abcab", u"ab", 1, 5, 3},
        {"must end within", u"abcab", u"ab", 1, 4, -1},
        {"overlapping", u"aaaa", u"aaa", 1, 4, 1},
        {"after a partial match", u"aabaaab", u"aaab", 0, 7, 3},
        {"within a partial match", u"aaab", u"aab", 0, 4, 1},
        {"nothing to find", u"abc", u"", 0, 3, -1},
        {"longer than the text", u"ab", u"abc", 0, 9, -1},
        {"range out of the text", u"ab", u"b", -5, 99, 1},
    };
    for (const auto& [name, text, needle, from, to, expected] : rows)
        EXPECT_EQ(SubstringSearch(needle).find(text, from, to), expected) << name;

    // Occurrences the caller turns down are passed over, overlapping ones included.
    SubstringSearch search(u"aa");
    EXPECT_EQ(search.find(u"aaaa", 0, 4, [](qsizetype p) { return p >= 1; }), 1);
    EXPECT_EQ(search.find(u"aaaa", 0, 4, [](qsizetype p) { return p == 2; }), 2);
    EXPECT_EQ(search.find(u"aaaa", 0, 4, [](qsizetype) { return false; }), -1);
}

// Texts that make a search from every position cost the text's length times the query's.
TEST(SubstringSearch, ComparesEachCharacterOfTheTextAFewTimes) {
    const QString strA = QString(200000, u'a');
    const std::pair<QString, QString> rows[] = {
        {strA, "b" + QString(5000, u'a')},
        {strA, QString(5000, u'a') + "b"},
        {QString("ab").repeated(100000), QString("ab").repeated(2500) + "b"},
    };
    for (const auto& [text, needle] : rows) {
        SubstringSearch search(needle);
        EXPECT_EQ(search.find(text, 0, text.size(), [](qsizetype) { return false; }), -1);
        EXPECT_LE(search.comparisons(), 2 * text.size());
    }
}
