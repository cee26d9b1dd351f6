// Measuring elements with real fonts, and sharing measurements within one pass.

#include "tekst/ELENTER.h"
#include "tekst/ELMARK.h"
#include "tekst/ELPILT.h"
#include "tekst/ELTAB.h"
#include "tekst/ELTUHIK.h"
#include "tekst/SharedMeasurer.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

KIRI stiil(bool bUla = false, bool bAla = false, double fSuurus = 15.0) {
    return KIRI(QStringLiteral("Arial"), fSuurus, false, false, false, false, bUla, bAla, Colour::black());
}

std::unique_ptr<ELMARK> mark(const QString& strTekst, qint64 nKiri) {
    auto e = std::make_unique<ELMARK>();
    e->m_strTekst = strTekst;
    e->m_nKiri = nKiri;
    return e;
}

TEST(Measure, RunHeightAndRiseFromTheNormalFontWidthFromTheIndexFont) {
    const std::vector<KIRI> tabel = {stiil(), stiil(true, false), stiil(false, true)};
    auto normaal = mark(QStringLiteral("Indeks 123"), 0);
    normaal->ArvutaSuurus(tabel, 100);
    const Font font = tabel[0].TooFont(100, false);
    EXPECT_EQ(*normaal->m_cSuurus, textSize(normaal->m_strTekst, font));
    EXPECT_EQ(*normaal->m_fIndeksKorgus, normaal->korgus());
    EXPECT_EQ(*normaal->m_fTous, normaal->korgus() + fontDescender(font));
    EXPECT_GT(*normaal->m_fTous, 0.0);

    for (qint64 nKiri : {1, 2}) {
        SCOPED_TRACE(nKiri == 1 ? "superscript" : "subscript");
        auto indeks = mark(normaal->m_strTekst, nKiri);
        indeks->ArvutaSuurus(tabel, 100);
        EXPECT_EQ(indeks->korgus(), normaal->korgus());
        EXPECT_EQ(*indeks->m_fTous, *normaal->m_fTous);
        EXPECT_LT(indeks->laius(), normaal->laius());
        EXPECT_LT(*indeks->m_fIndeksKorgus, *normaal->m_fIndeksKorgus);
    }
}

TEST(Measure, TextKindsScaleWithTheZoom) {
    const std::vector<KIRI> tabel = {stiil()};
    auto mooda = [&](int nTuup, double fSuum) {
        ELTUHIK tuhik;
        ELENTER enter;
        auto run = mark(QStringLiteral("Suurendus"), 0);
        tuhik.m_nKiri = enter.m_nKiri = 0;
        tuhik.ArvutaSuurus(tabel, fSuum);
        EXPECT_EQ(*tuhik.m_fOrginaalLaius, tuhik.laius());
        enter.ArvutaSuurus(tabel, fSuum);
        run->ArvutaSuurus(tabel, fSuum);
        return nTuup == 0 ? *run->m_cSuurus : nTuup == 1 ? *tuhik.m_cSuurus : *enter.m_cSuurus;
    };
    for (int nTuup : {0, 1, 2}) {
        SCOPED_TRACE(nTuup);
        const QSizeF sada = mooda(nTuup, 100);
        const QSizeF kakssada = mooda(nTuup, 200);
        EXPECT_GT(sada.width(), 0.0);
        EXPECT_NEAR(kakssada.width() / sada.width(), 2.0, 0.05);
        EXPECT_NEAR(kakssada.height() / sada.height(), 2.0, 0.05);
    }
}

TEST(Measure, StyleIndexOutsideTheTableMeasuresInTheDefaultStyle) {
    const std::vector<KIRI> tabel = {KIRI(), stiil(true, false, 40)};
    auto viide = mark(QStringLiteral("Vaikimisi"), 0);
    viide->ArvutaSuurus(tabel, 100);
    for (qint64 nKiri : {qint64(-1), qint64(2), qint64(1) << 40}) {
        SCOPED_TRACE(nKiri);
        auto e = mark(viide->m_strTekst, nKiri);
        e->ArvutaSuurus(tabel, 100);
        EXPECT_EQ(*e->m_cSuurus, *viide->m_cSuurus);
        ELTAB tab;
        tab.m_nKiri = nKiri;
        tab.ArvutaSuurus({}, 100);
        EXPECT_GT(tab.korgus(), 0.0);
    }
}

TEST(Measure, PicturesTakeTheirStoredSizeScaled) {
    const struct {
        const char* nimi;
        std::optional<QSizeF> cOrginaal;
        double fSuum;
        QSizeF cOodatud;
    } juhud[] = {
        {"zoom 100", QSizeF(120, 80), 100, QSizeF(120, 80)},
        {"zoom 50", QSizeF(120, 80), 50, QSizeF(60, 40)},
        {"no stored size", std::nullopt, 200, QSizeF(0, 0)},
    };
    for (const auto& juht : juhud) {
        SCOPED_TRACE(juht.nimi);
        ELPILT pilt;
        pilt.m_cOrginaalSuurus = juht.cOrginaal;
        SharedMeasurer(std::vector<KIRI>{}, juht.fSuum).Mooda(pilt);
        EXPECT_EQ(*pilt.m_cSuurus, juht.cOodatud);
        EXPECT_EQ(*pilt.m_fTous, 0.0);
    }
}

TEST(SharedMeasurer, EqualRunsShareAndOthersAreMeasured) {
    // The table changes after the first run only to reveal which later run was really measured.
    std::vector<KIRI> tabel = {stiil(), stiil(false, false, 30)};
    SharedMeasurer mootja(tabel, 100);
    auto esimene = mark(QStringLiteral("caf\u00e9"), 0);
    mootja.Mooda(*esimene);
    tabel[0].m_fKirjasuurus = 60;

    const struct {
        const char* nimi;
        QString strTekst;
        qint64 nKiri;
        bool bJagatud;
    } juhud[] = {
        {"same text and style", QStringLiteral("caf\u00e9"), 0, true},
        {"canonically equivalent text", QStringLiteral("cafe\u0301"), 0, true},
        {"another style", QStringLiteral("caf\u00e9"), 1, false},
        {"another text", QStringLiteral("Caf\u00e9"), 0, false},
    };
    for (const auto& juht : juhud) {
        SCOPED_TRACE(juht.nimi);
        auto e = mark(juht.strTekst, juht.nKiri);
        mootja.Mooda(*e);
        auto vark = mark(juht.strTekst, juht.nKiri);
        vark->ArvutaSuurus(tabel, 100);
        const ELMARK& oodatud = juht.bJagatud ? *esimene : *vark;
        EXPECT_EQ(*e->m_cSuurus, *oodatud.m_cSuurus);
        EXPECT_EQ(*e->m_fTous, *oodatud.m_fTous);
        EXPECT_EQ(*e->m_fIndeksKorgus, *oodatud.m_fIndeksKorgus);
    }
}

TEST(SharedMeasurer, SharedSpaceIsFreshEvenAfterTheFirstWasStretched) {
    const std::vector<KIRI> tabel = {stiil(), stiil(false, false, 30)};
    SharedMeasurer mootja(tabel, 200);
    ELTUHIK esimene, teine, vark, teisesStiilis;
    esimene.m_nKiri = teine.m_nKiri = vark.m_nKiri = 0;
    teisesStiilis.m_nKiri = 1;
    mootja.Mooda(esimene);
    // Justification widens a space after it was measured.
    esimene.m_cSuurus->setWidth(50);

    vark.ArvutaSuurus(tabel, 200);
    mootja.Mooda(teine);
    EXPECT_EQ(*teine.m_cSuurus, *vark.m_cSuurus);
    EXPECT_EQ(*teine.m_fOrginaalLaius, vark.laius());
    EXPECT_EQ(*teine.m_fTous, *vark.m_fTous);

    mootja.Mooda(teisesStiilis);
    EXPECT_GT(teisesStiilis.laius(), vark.laius());
}

} // namespace
