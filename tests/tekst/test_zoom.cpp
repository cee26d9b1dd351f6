#include "tekst/Tekstiboks.h"

#include <gtest/gtest.h>

#include <limits>

const QString kDokument = "VLM1<1{F Arial;15;0;0;0;0;0;0;#000000}{P @;30;20;}{T}{M Tere}{U}{M maailm}{N}>"
                          "<4{M Teine}{U}{M lõik}{U}{M on}{U}{M siin}{N}>";

TEST(Zoom, ScalesFontsPicturesAndGapButNotMarginsOrTabStops) {
    Tekstiboks tb;
    ASSERT_TRUE(tb.AvaFail(kDokument));
    const auto& p = tb.m_arrLOIK[0]->m_arrELEMENT;
    const QSizeF cTekst100 = p[2]->m_cSuurus.value();
    EXPECT_EQ(p[1]->laius(), 18.0); // the tab after a 30-wide picture reaches the stop at 48

    tb.Suumi(200);
    EXPECT_EQ(p[0]->m_cSuurus, QSizeF(60, 40));
    EXPECT_NEAR(p[2]->korgus(), 2 * cTekst100.height(), 1.0);
    EXPECT_NEAR(p[2]->laius(), 2 * cTekst100.width(), 1.0);
    EXPECT_EQ(p[1]->laius(), 12.0); // stops stay 24 apart: 60 reaches the stop at 72
    EXPECT_EQ(tb.m_cServad, QSizeF(4, 4));
    EXPECT_EQ(tb.m_arrReaY[1], tb.m_arrRIDA[0].m_fKoguKorgus.value() + 6.0);
}

TEST(Zoom, AnyZoomTwiceGivesTheSameLinesAndKeepsTheSelection) {
    // Where every line starts and lies, the widest line and the whole height: what a layout decides.
    const auto read = [](const Tekstiboks& tb) {
        return std::tuple(tb.m_arrReaAlgus, tb.m_arrReaY, tb.m_fMaksReaLaius, tb.m_fKoguKorgus);
    };
    const double inf = std::numeric_limits<double>::infinity();
    for (const double fSuum : {140.0, 0.0, -50.0, 1e-9, 1e-300, 1e9, 1e300, inf, -inf}) {
        Tekstiboks tb;
        ASSERT_TRUE(tb.AvaFail(kDokument));
        const auto alg = read(tb);
        tb.m_nShiftKursor = 2;
        tb.m_nKursor = 9;
        tb.Suumi(fSuum);
        const auto arr = read(tb);
        tb.Suumi(fSuum);
        EXPECT_EQ(read(tb), arr) << fSuum;
        EXPECT_TRUE(tb.m_nShiftKursor == 2 && tb.m_nKursor == 9) << fSuum;
        // Every element still stands in a line, and the view comes back from it.
        EXPECT_EQ(tb.m_arrReaAlgus.back() + qint64(tb.m_arrRIDA.back().m_arrELEMENT.size()),
                  tb.TooMaksKursor());
        tb.Suumi(100);
        EXPECT_EQ(read(tb), alg) << fSuum;
        tb.Suumi(fSuum);
        EXPECT_EQ(read(tb), arr) << fSuum;
    }
}

// The zoom box shows the zoom as C's "%.0f" writes it: halves go to the even neighbour.
TEST(Zoom, TextRoundsHalvesToEven) {
    const std::pair<double, const char*> read[] = {
        {12.5, "12%"}, {13.5, "14%"}, {-2.5, "-2%"}, {1e25, "10000000000000000905969664%"}};
    Tekstiboks tb;
    for (const auto& [fSuum, strTekst] : read) {
        tb.Suumi(fSuum);
        EXPECT_EQ(tb.m_strSuumiTekst.toStdString(), strTekst) << fSuum;
    }
}
