// Measuring elements with real fonts, and sharing measurements within one pass.

#include "tekst/ELENTER.h"
#include "tekst/ELMARK.h"
#include "tekst/ELTAB.h"
#include "tekst/ELTUHIK.h"
#include "tekst/LOIK.h"
#include "tekst/SharedMeasurer.h"

#include <gtest/gtest.h>

namespace {

// Plain (the default style), superscript, subscript, and plain at twice the size.
const std::vector<KIRI> kTabel = {KIRI(), KIRI("Arial", 15, false, false, false, false, true, false, {}),
                                  KIRI("Arial", 15, false, false, false, false, false, true, {}),
                                  KIRI("Arial", 30, false, false, false, false, false, false, {})};

// An element in style nKiri (a run with the text s), measured by m or, the first of its kind, by a
// measurer of its own over kTabel at zoom 100.
template <class T = ELMARK>
std::unique_ptr<T> mooda(qint64 nKiri, const char* s = "Tekst", SharedMeasurer* m = {}) {
    auto e = std::make_unique<T>();
    e->m_nKiri = nKiri;
    if constexpr (std::is_same_v<T, ELMARK>)
        e->m_strTekst = QString::fromUtf8(s);
    SharedMeasurer uus(kTabel, 100);
    (m ? *m : uus).Mooda(*e);
    return e;
}

// A run's width, height, rise and index height.
std::tuple<double, double, double, double> moot(const ELMARK& m) {
    return {m.laius(), m.korgus(), *m.m_fTous, *m.m_fIndeksKorgus};
}

TEST(Measure, IndexRunsTakeTheHeightAndRiseOfPlainTextAndAllScaleWithTheZoom) {
    const auto [fLaius, fKorgus, fTous, fIndeks] = moot(*mooda(0));
    EXPECT_TRUE(fTous > 0 && fTous < fKorgus && fIndeks == fKorgus);
    for (qint64 nKiri : {1, 2}) {
        const auto [l, k, t, i] = moot(*mooda(nKiri));
        EXPECT_EQ(std::tuple(k, t, l < fLaius, i < fIndeks), std::tuple(fKorgus, fTous, true, true)) << nKiri;
    }
    // A style index outside the table measures in the default style rather than reading past it.
    for (qint64 nKiri : {qint64(-1), qint64(4), qint64(1) << 40})
        EXPECT_TRUE(moot(*mooda(nKiri)) == moot(*mooda(0)) && mooda<ELTAB>(nKiri)->korgus() > 0) << nKiri;

    SharedMeasurer kakssada(kTabel, 200);
    const auto [fLaius2, fKorgus2, fTous2, fIndeks2] = moot(*mooda(0, "Tekst", &kakssada));
    EXPECT_NEAR(fLaius2 / fLaius, 2.0, 0.05);
    EXPECT_NEAR(fKorgus2 / fKorgus, 2.0, 0.05);
    EXPECT_NEAR(mooda<ELTUHIK>(0, "", &kakssada)->laius() / mooda<ELTUHIK>(0)->laius(), 2.0, 0.05);
}

TEST(SharedMeasurer, EqualElementsShareAFreshMeasurementAndOthersAreMeasured) {
    // The table changes after the first elements only to reveal which later ones were really measured.
    std::vector<KIRI> tabel = kTabel;
    SharedMeasurer mootja(tabel, 100), varske(tabel, 100);
    const auto esimene = mooda(0, "caf\u00e9", &mootja);
    // Runs of one character are looked up their own way; the Angstrom sign composes to the letter.
    const auto x = mooda(0, "x", &mootja), aa = mooda(0, "\u00c5", &mootja);
    // Justification widens a space after it was measured; the next one still gets the fresh width.
    const auto tuhik = mooda<ELTUHIK>(0, "", &mootja);
    tuhik->m_cSuurus->setWidth(50);
    const auto teine = mooda<ELTUHIK>(0, "", &mootja);
    EXPECT_EQ(std::pair(*teine->m_cSuurus, *teine->m_fOrginaalLaius),
              std::pair(*mooda<ELTUHIK>(0)->m_cSuurus, mooda<ELTUHIK>(0)->laius()));
    EXPECT_GT(mooda<ELTUHIK>(3, "", &mootja)->laius(), teine->laius());
    tabel[0].m_fKirjasuurus = 60;
    const std::tuple<const char*, int, const ELMARK*> juhud[] = {{"caf\u00e9", 0, esimene.get()},
                                                                 {"cafe\u0301", 0, esimene.get()},
                                                                 {"caf\u00e9", 3, nullptr},
                                                                 {"Caf\u00e9", 0, nullptr},
                                                                 {"x", 0, x.get()},
                                                                 {"x", 3, nullptr},
                                                                 {"y", 0, nullptr},
                                                                 {"\u212b", 0, aa.get()},
                                                                 {"\u00c5", 3, nullptr}};
    for (const auto& [s, nKiri, jagatud] : juhud)
        EXPECT_EQ(moot(*mooda(nKiri, s, &mootja)), moot(jagatud ? *jagatud : *mooda(nKiri, s, &varske)))
            << s << " " << nKiri;
}

// A space, a tab and a paragraph end measure a space, a tab and a pilcrow: each kind shares only
// with its own kind, whichever came first in the same style.
TEST(SharedMeasurer, EachKindSharesOnlyWithItsOwnKind) {
    const auto laius = [](auto e) { return e->laius(); };
    const double fTuhik = laius(mooda<ELTUHIK>(0)), fTab = laius(mooda<ELTAB>(0)),
                 fEnter = laius(mooda<ELENTER>(0));
    ASSERT_TRUE(fTuhik != fTab && fTab != fEnter && fEnter != fTuhik);
    for (int nEsimene = 0; nEsimene < 3; ++nEsimene) {
        SharedMeasurer mootja(kTabel, 100);
        // The kinds in turn, starting with another one each time, each measured twice.
        for (int k = 0; k < 6; ++k) {
            const int nLiik = (nEsimene + k) % 3;
            const double f = nLiik == 0   ? laius(mooda<ELTUHIK>(0, "", &mootja))
                             : nLiik == 1 ? laius(mooda<ELTAB>(0, "", &mootja))
                                          : laius(mooda<ELENTER>(0, "", &mootja));
            EXPECT_EQ(f, nLiik == 0 ? fTuhik : nLiik == 1 ? fTab : fEnter) << nEsimene << " " << k;
        }
    }
}

// A run of many thousands of characters measures what its characters add up to, in time that grows
// with its length; it keeps the pieces it was measured in for drawing, shares them with equal runs and
// reuses them at another zoom. It used to measure negative past about 67,000 "x" at 12 points (a
// fixed-point overflow), and a letter with a long stretch of marks of two classes took time growing
// with the square of their number to find the runs it equals.
TEST(Measure, LongRunsMeasureRightAndKeepTheirPieces) {
    const std::vector<KIRI> tabel = {KIRI("Arial", 12, false, false, false, false, false, false, {})};
    const Font font = tabel[0].TooFont(100, false);
    const std::tuple<const char*, QString, double> read[] = {
        {"67,200 x", QString(67'200, u'x'), 67'200 * textSize("x", font).width()},
        {"a letter and 200,000 marks", "a" + QString::fromUtf8("\u0301\u0316").repeated(100'000),
         textSize("a", font).width()},
    };
    for (const auto& [nimi, strTekst, fOodatud] : read) {
        SharedMeasurer mootja(tabel, 100);
        std::unique_ptr<ELMARK> marks[2];
        for (auto& m : marks) {
            m = std::make_unique<ELMARK>();
            m->m_nKiri = 0;
            m->m_strTekst = strTekst;
            mootja.Mooda(*m);
        }
        EXPECT_NEAR(marks[0]->laius(), fOodatud, 1e-6 * fOodatud) << nimi;
        ASSERT_TRUE(marks[0]->TooTukid()) << nimi;
        EXPECT_EQ(marks[0]->TooTukid()->total() * font.referenceScale(), marks[0]->laius()) << nimi;
        EXPECT_TRUE(marks[1]->TooTukid() == marks[0]->TooTukid() && marks[1]->laius() == marks[0]->laius())
            << nimi;

        const auto* tukid = marks[0]->TooTukid().get();
        SharedMeasurer(tabel, 200).Mooda(*marks[0]);
        EXPECT_TRUE(marks[0]->TooTukid().get() == tukid && marks[0]->laius() == 2 * marks[1]->laius())
            << nimi;
        // Another text of the same length is measured afresh, not from the pieces of the one before.
        marks[0]->m_strTekst = strTekst.toUpper();
        SharedMeasurer(tabel, 100).Mooda(*marks[0]);
        EXPECT_NEAR(marks[0]->laius(), textSize(strTekst.toUpper(), font).width(), 1e-9) << nimi;
        EXPECT_NE(marks[0]->laius(), marks[1]->laius()) << nimi;

        // Laid out, the run stands alone on a line as wide as it is.
        auto loik = std::make_shared<LOIK>();
        loik->m_arrELEMENT.push_back(std::move(marks[1]));
        loik->m_arrELEMENT.push_back(mooda<ELENTER>(0));
        const std::vector<RIDA> arrRead = loik->TooRead(792);
        EXPECT_TRUE(!arrRead.empty() && *arrRead.front().m_fMaksLaius >= fOodatud) << nimi;
    }
}

} // namespace
