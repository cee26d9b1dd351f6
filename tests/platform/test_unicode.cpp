#include "platform/unicode.h"

#include "testsupport.h"

#include <gtest/gtest.h>

// Each row decomposes as Qt's own normalization decomposes it.
TEST(Unicode, CanonicalDecompositionAgreesWithQt) {
    const std::pair<const char*, QString> rows[] = {
        {"ASCII", "Tere, maailm!"},
        {"precomposed letters", "Õun ja Äädikas"},
        {"nested decompositions", "\u1E08\u01D5\u1F80"},
        {"marks out of order", "a\u0301\u0316\u0328\u0345b"},
        {"marks of one class keep their order", "e\u0301\u0300\u0302"},
        {"a mark after a precomposed letter", "\u00E9\u0316"},
        {"Hangul syllables", "\uAC00\uD4DB"},
        {"outside the BMP", "\U0001D15E\U0001D160\U0001D16D\U0001D165x"},
        {"lone surrogates", QString::fromUtf16(u"a\xD800\u0301b\xDC00\u0316")},
        {"compatibility forms stay", "\uFB01\u00A0\u2126\u212B"},
        {"empty", ""},
    };
    for (const auto& [name, text] : rows)
        EXPECT_EQ(canonicalDecomposition(text), text.normalized(QString::NormalizationForm_D)) << name;
}

// A letter with a long stretch of marks of two classes: reordering by exchanging neighbours, as
// Qt's normalization does, takes minutes for this.
TEST(Unicode, LongStretchesOfMarksDecomposeInLinearTime) {
    const HangGuard guard(60, "decomposing a long stretch of combining marks");
    const qsizetype n = 200000;
    const QString text = "a" + QString::fromUtf16(u"\u0301\u0316").repeated(n);
    EXPECT_EQ(canonicalDecomposition(text), "a" + QString(n, QChar(0x0316)) + QString(n, QChar(0x0301)));
    const QString letters = QString::fromUtf16(u"\u00E9x").repeated(n);
    EXPECT_EQ(canonicalDecomposition(letters), QString::fromUtf16(u"e\u0301x").repeated(n));
}
