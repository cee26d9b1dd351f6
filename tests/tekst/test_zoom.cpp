#include "tekst/Tekstiboks.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const QString kDokument = "VLM1<1{F Arial;15;0;0;0;0;0;0;#000000}{P @;30;20;}{T}{M Tere}{U}{M maailm}{N}>"
                          "<4{M Teine}{U}{M lõik}{U}{M on}{U}{M siin}{N}>";

// Every line's element widths and top: what a layout decides.
std::vector<std::vector<double>> read(const Tekstiboks& tb) {
    std::vector<std::vector<double>> arr;
    for (size_t k = 0; k < tb.m_arrRIDA.size(); ++k) {
        std::vector<double> rida{tb.m_arrReaY[k]};
        for (const ELEMENT* e : tb.m_arrRIDA[k].m_arrELEMENT)
            rida.push_back(e->laius());
        arr.push_back(rida);
    }
    return arr;
}

struct Vaade {
    Vaade() {
        tb.SeaNahtavaAlaSuurus(QSizeF(800, 600));
        EXPECT_TRUE(tb.AvaFail(kDokument));
    }
    MessageRecorder teated;
    Tekstiboks tb;
};

} // namespace

TEST(Zoom, ScalesFontsPicturesAndGapButNotMarginsOrTabStops) {
    Vaade v;
    const auto& p = v.tb.m_arrLOIK[0]->m_arrELEMENT;
    const double fTekst100 = p[2]->korgus();
    const double fLaius100 = p[2]->laius();
    EXPECT_EQ(p[1]->laius(), 18.0); // the tab after a 30-wide picture reaches the stop at 48

    v.tb.Suumi(200);
    EXPECT_EQ(v.tb.m_fSuum, 200.0);
    EXPECT_EQ(p[0]->m_cSuurus, QSizeF(60, 40));
    EXPECT_NEAR(p[2]->korgus(), 2 * fTekst100, 1.0);
    EXPECT_NEAR(p[2]->laius(), 2 * fLaius100, 1.0);
    EXPECT_EQ(p[1]->laius(), 12.0); // stops stay 24 apart: 60 reaches the stop at 72
    EXPECT_EQ(v.tb.TooReaVahe(), 6.0);
    EXPECT_EQ(v.tb.m_cServad, QSizeF(4, 4));
    EXPECT_EQ(v.tb.m_arrReaY[1], v.tb.m_arrRIDA[0].m_fKoguKorgus.value() + 6.0);
    EXPECT_EQ(v.tb.m_strSuumiTekst, "200%");
}

TEST(Zoom, SameZoomTwiceGivesTheSameLines) {
    Vaade v;
    v.tb.Suumi(140);
    const auto enne = read(v.tb);
    v.tb.Suumi(140);
    EXPECT_EQ(read(v.tb), enne);
    v.tb.Suumi(100);
    v.tb.Suumi(140);
    EXPECT_EQ(read(v.tb), enne);
}

TEST(Zoom, SelectionSurvives) {
    Vaade v;
    v.tb.m_nShiftKursor = 2;
    v.tb.m_nKursor = 9;
    v.tb.Suumi(300);
    EXPECT_EQ(v.tb.m_nShiftKursor, 2);
    EXPECT_EQ(v.tb.m_nKursor, 9);
}

TEST(Zoom, ExtremeValuesLeaveTheViewWorking) {
    const double inf = std::numeric_limits<double>::infinity();
    for (double fSuum : {0.0, -50.0, 1e-9, 1e-300, 1e9, 1e300, inf, -inf}) {
        Vaade v;
        v.tb.m_nKursor = 5;
        v.tb.Suumi(fSuum);
        EXPECT_EQ(v.tb.m_nKursor, 5) << fSuum;
        EXPECT_FALSE(v.tb.m_arrRIDA.empty()) << fSuum;
        // Every element still stands in exactly one line.
        size_t n = 0;
        for (const RIDA& r : v.tb.m_arrRIDA)
            n += r.m_arrELEMENT.size();
        EXPECT_EQ(qint64(n), v.tb.TooMaksKursor()) << fSuum;
        EXPECT_GE(v.tb.width(), 0) << fSuum;
        // And the view comes back from it.
        v.tb.Suumi(100);
        EXPECT_EQ(v.tb.m_arrLOIK[0]->m_arrELEMENT[0]->m_cSuurus, QSizeF(30, 20)) << fSuum;
    }
}
