#include "tekst/CompactOptional.h"
#include "tekst/ELEMENT.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>

// An absent number is one NaN pattern; every number a computation can give, NaNs and signed zeros
// included, reads back as present with the same meaning.
TEST(Compact, NumbersReadBackAsStoredAndOnlyTheResetOneIsAbsent) {
    const double fMarker = std::bit_cast<double>(compact::kAbsentBits);
    const std::pair<const char*, double> arrArvud[] = {
        {"zero", 0.0},
        {"negative zero", -0.0},
        {"largest", std::numeric_limits<double>::max()},
        {"infinity", -std::numeric_limits<double>::infinity()},
        {"quiet NaN", std::numeric_limits<double>::quiet_NaN()},
        {"the marker's own bits", fMarker},
    };
    for (const auto& [nimi, f] : arrArvud) {
        SCOPED_TRACE(nimi);
        CompactOptional<double> v = f;
        ASSERT_TRUE(v.has_value());
        EXPECT_EQ(std::isnan(*v), std::isnan(f));
        if (!std::isnan(f)) {
            EXPECT_EQ(std::bit_cast<quint64>(*v), std::bit_cast<quint64>(f));
        }
        const std::optional<double> o = v;
        EXPECT_TRUE(o.has_value());
        v.reset();
        EXPECT_FALSE(v.has_value());
        EXPECT_EQ(v.value_or(7.0), 7.0);
        EXPECT_FALSE(std::optional<double>(v).has_value());
    }
    // Sizes and points are absent by their first coordinate only.
    CompactOptional<QSizeF> c;
    EXPECT_FALSE(c.has_value());
    c = QSizeF(fMarker, 3.0);
    EXPECT_TRUE(c.has_value() && c->height() == 3.0);
    CompactOptional<QPointF> pt = QPointF(0.0, 0.0);
    EXPECT_TRUE(pt == QPointF(0.0, 0.0));
    pt = std::nullopt;
    EXPECT_TRUE(pt == std::nullopt);
}

// Every colour a document can give (8 bits a channel) and white come back exactly.
TEST(Compact, ColoursOfEightBitChannelsComeBackExactly) {
    for (int k = 0; k < 256; ++k) {
        const Colour c{k / 255.0, (255 - k) / 255.0, (k * 7 % 256) / 255.0, 1.0};
        const CompactColour v = c;
        ASSERT_TRUE(v.has_value());
        ASSERT_EQ(*v, c) << k;
    }
    CompactColour v = Colour::white();
    EXPECT_TRUE(v == Colour::white());
    EXPECT_FALSE(v == Colour::black());
    v = std::optional<Colour>();
    EXPECT_FALSE(v.has_value());
    EXPECT_TRUE(v == std::optional<Colour>());
    EXPECT_FALSE(v == CompactColour(Colour::black()));
}

TEST(Compact, ElementKindsAreNeverTakenForAbsent) {
    for (int n = 1; n <= 5; ++n) {
        const CompactOptional<ELTUUP> t = *ELEMENT::ELTUUPrawValue(n);
        EXPECT_TRUE(t.has_value() && int(*t) == n);
    }
    EXPECT_FALSE(CompactOptional<ELTUUP>().has_value());
}
