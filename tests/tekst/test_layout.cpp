// Line breaking, line alignment and whole-document layout, with element sizes set by hand.

#include "tekst/ELENTER.h"
#include "tekst/ELMARK.h"
#include "tekst/ELPILT.h"
#include "tekst/ELTAB.h"
#include "tekst/ELTUHIK.h"
#include "tekst/Tekstiboks.h"

#include <QScrollArea>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace {

// One hand-measured element: kind letter (M run, U space, T tab, N paragraph end, P picture), width
// and height; the rise of text is 0.8 of its height.
struct Osa {
    char kind;
    double w;
    double h = 14.0;
};

std::shared_ptr<LOIK> looLoik(const std::vector<Osa>& osad, JOONDUS joondus = JOONDUS::VASAKUL) {
    auto loik = std::make_shared<LOIK>();
    loik->m_Joondus = joondus;
    for (const Osa& o : osad) {
        std::unique_ptr<ELEMENT> e;
        if (o.kind == 'M') {
            e = std::make_unique<ELMARK>();
        } else if (o.kind == 'U') {
            auto tuhik = std::make_unique<ELTUHIK>();
            tuhik->m_fOrginaalLaius = o.w;
            e = std::move(tuhik);
        } else if (o.kind == 'T') {
            e = std::make_unique<ELTAB>();
        } else if (o.kind == 'N') {
            e = std::make_unique<ELENTER>();
        } else {
            e = std::make_unique<ELPILT>();
        }
        e->m_nKiri = 0;
        e->m_cSuurus = QSizeF(o.w, o.h);
        e->m_fTous = o.kind == 'P' ? 0.0 : o.h * 0.8;
        loik->m_arrELEMENT.push_back(std::move(e));
    }
    return loik;
}

size_t indeks(const LOIK& loik, const ELEMENT* e) {
    for (size_t i = 0; i < loik.m_arrELEMENT.size(); ++i) {
        if (loik.m_arrELEMENT[i].get() == e)
            return i;
    }
    return SIZE_MAX;
}

std::vector<std::vector<size_t>> reaIndeksid(const std::vector<RIDA>& read) {
    std::vector<std::vector<size_t>> tulemus;
    for (const RIDA& rida : read) {
        tulemus.emplace_back();
        for (const ELEMENT* e : rida.m_arrELEMENT)
            tulemus.back().push_back(indeks(*rida.m_LOIK, e));
    }
    return tulemus;
}

std::vector<double> laiused(const LOIK& loik) {
    std::vector<double> tulemus;
    for (const auto& e : loik.m_arrELEMENT)
        tulemus.push_back(e->m_cSuurus->width());
    return tulemus;
}

std::vector<double> kohad(const LOIK& loik) {
    std::vector<double> tulemus;
    for (const auto& e : loik.m_arrELEMENT)
        tulemus.push_back(e->m_ptPos->x());
    return tulemus;
}

std::vector<RIDA> paiguta(const std::shared_ptr<LOIK>& loik, double fLaius) {
    std::vector<RIDA> arr(1);
    arr[0].m_LOIK = loik;
    return loik->JoondaLoik(std::move(arr), fLaius);
}

using Read = std::vector<std::vector<size_t>>;

TEST(LineBreaking, BreaksWhereTheRulesSay) {
    const struct {
        const char* nimi;
        std::vector<Osa> osad;
        double fLaius;
        Read read;
    } juhud[] = {
        {"worked example",
         {{'M', 40}, {'U', 5}, {'M', 40}, {'U', 5}, {'M', 40}, {'N', 8}},
         100,
         {{0, 1, 2, 3}, {4, 5}}},
        {"exactly as wide as the content", {{'M', 50}, {'U', 5}, {'M', 37}, {'N', 8}}, 100, {{0, 1, 2, 3}}},
        {"one point wider", {{'M', 50}, {'U', 5}, {'M', 38}, {'N', 8}}, 100, {{0, 1}, {2, 3}}},
        {"word wider than the line",
         {{'M', 40}, {'U', 5}, {'M', 150}, {'U', 5}, {'M', 40}, {'N', 8}},
         100,
         {{0, 1}, {2}, {3, 4, 5}}},
        {"paragraph end never starts a line", {{'M', 95}, {'N', 8}}, 100, {{0, 1}}},
        {"touching runs", {{'M', 60}, {'M', 60}, {'N', 8}}, 100, {{0}, {1, 2}}},
        {"paragraph end alone at width 0", {{'N', 8}}, 0, {{0}}},
        {"trailing space leaves no empty line", {{'M', 10}, {'U', 5}}, 0, {{0}, {1}}},
        {"negative width", {{'M', 10}, {'U', 5}, {'M', 10}, {'N', 8}}, -10, {{0}, {1}, {2, 3}}},
        {"empty paragraph keeps one empty line", {}, 100, {{}}},
    };
    for (const auto& juht : juhud) {
        SCOPED_TRACE(juht.nimi);
        auto loik = looLoik(juht.osad);
        const auto read = paiguta(loik, juht.fLaius);
        EXPECT_EQ(reaIndeksid(read), juht.read);
        for (const RIDA& rida : read) {
            EXPECT_EQ(rida.m_LOIK, loik);
            EXPECT_TRUE(rida.m_fKoguKorgus && rida.m_fTekstiKorgus && rida.m_fTous && rida.m_fMaksLaius);
        }
    }
}

TEST(LineBreaking, TabsReachTheNextStopEvery24Points) {
    const struct {
        const char* nimi;
        std::vector<Osa> osad;
        std::vector<double> laiused;
        std::vector<double> kohad;
    } juhud[] = {
        {"at the start of a line", {{'T', 7}, {'N', 8}}, {24, 8}, {0, 24}},
        {"after text 30 wide", {{'M', 30}, {'T', 7}, {'N', 8}}, {30, 18, 8}, {0, 30, 48}},
        {"after text exactly 24 wide", {{'M', 24}, {'T', 7}, {'N', 8}}, {24, 24, 8}, {0, 24, 48}},
        {"two in a row", {{'M', 10}, {'T', 7}, {'T', 7}, {'N', 8}}, {10, 14, 24, 8}, {0, 10, 24, 48}},
        // 98 + 22 overflows: the tab moves on and keeps the width of its old place.
        {"moved to a new line", {{'M', 98}, {'T', 7}, {'N', 8}}, {98, 22, 8}, {0, 0, 22}},
        // After the space the lookahead counts the tab with the width it still holds.
        {"held width pushes the word on",
         {{'M', 40}, {'U', 5}, {'M', 10}, {'T', 50}, {'N', 8}},
         {40, 5, 10, 14, 8},
         {0, 40, 0, 10, 24}},
        {"held width lets the word stay",
         {{'M', 40}, {'U', 5}, {'M', 10}, {'T', 5}, {'N', 8}},
         {40, 5, 10, 17, 8},
         {0, 40, 45, 55, 72}},
    };
    for (const auto& juht : juhud) {
        SCOPED_TRACE(juht.nimi);
        auto loik = looLoik(juht.osad);
        paiguta(loik, 100);
        EXPECT_EQ(laiused(*loik), juht.laiused);
        EXPECT_EQ(kohad(*loik), juht.kohad);
    }
}

// Stepping 24 points at a time from 0 to the tab stop would never end after an enormous picture.
TEST(LineBreaking, TabAfterAnEnormousWidthDoesNotHang) {
    for (const double fLaius : {1e300, std::numeric_limits<double>::infinity(), std::nan("")}) {
        auto loik = looLoik({{'P', fLaius}, {'T', 7}, {'M', 10}, {'N', 8}});
        EXPECT_FALSE(paiguta(loik, 1e308).empty());
        if (std::isfinite(fLaius)) {
            EXPECT_EQ(loik->m_arrELEMENT[1]->m_cSuurus->width(), 0.0);
        }
    }
}

TEST(LineAlignment, StartOffsetByAlignment) {
    const struct {
        const char* nimi;
        JOONDUS joondus;
        double fSisuLaius;
        bool bViimane;
        double fAlgus;
    } juhud[] = {
        {"left", JOONDUS::VASAKUL, 100, true, 0},
        {"centred", JOONDUS::KESKEL, 100, true, 20},
        {"right", JOONDUS::PAREMAL, 100, false, 40},
        {"justified, last line", JOONDUS::ROOP, 100, true, 0},
        {"centred, wider than the content", JOONDUS::KESKEL, 50, true, 0},
        {"right, wider than the content", JOONDUS::PAREMAL, 50, true, 0},
        {"justified, already full", JOONDUS::ROOP, 60, false, 0},
    };
    for (const auto& juht : juhud) {
        SCOPED_TRACE(juht.nimi);
        auto loik = looLoik({{'M', 30}, {'U', 5}, {'M', 25}}, juht.joondus);
        const RIDA rida = loik->JoondaRida(0, 2, juht.fSisuLaius, juht.bViimane);
        EXPECT_EQ(kohad(*loik), (std::vector<double>{juht.fAlgus, juht.fAlgus + 30, juht.fAlgus + 35}));
        EXPECT_EQ(laiused(*loik), (std::vector<double>{30, 5, 25}));
        EXPECT_EQ(rida.m_fMaksLaius, 60.0);
    }
}

TEST(LineAlignment, HeightsAndRiseOfTextAndPictures) {
    const struct {
        const char* nimi;
        std::vector<Osa> osad;
        double fKogu, fTekst, fTous;
    } juhud[] = {
        {"picture taller than text", {{'M', 10, 14}, {'P', 60, 50}, {'U', 4, 10}}, 50, 14, 14 * 0.8},
        {"pictures only", {{'P', 60, 50}, {'P', 10, 20}}, 50, 0, 0},
    };
    for (const auto& juht : juhud) {
        SCOPED_TRACE(juht.nimi);
        const RIDA rida = looLoik(juht.osad)->JoondaRida(0, qint64(juht.osad.size()) - 1, 1000, true);
        EXPECT_EQ(rida.m_fKoguKorgus, juht.fKogu);
        EXPECT_EQ(rida.m_fTekstiKorgus, juht.fTekst);
        EXPECT_EQ(rida.m_fTous, juht.fTous);
    }
}

TEST(LineAlignment, JustifiedParagraphEndsFullLinesAtTheContentWidth) {
    // Three spaces a line share an extra width of 10 that does not divide evenly.
    std::vector<Osa> osad;
    for (int i = 0; i < 6; ++i)
        osad.insert(osad.end(), {{'M', 25}, {'U', 5}});
    osad.insert(osad.end(), {{'M', 25}, {'N', 8}});
    auto loik = looLoik(osad, JOONDUS::ROOP);
    for (const char* kord : {"first layout", "again, after the spaces were stretched"}) {
        SCOPED_TRACE(kord);
        const auto read = paiguta(loik, 100);
        ASSERT_EQ(reaIndeksid(read), (Read{{0, 1, 2, 3, 4, 5}, {6, 7, 8, 9, 10, 11}, {12, 13}}));
        for (int r = 0; r < 2; ++r) {
            const ELEMENT* viimane = read[r].m_arrELEMENT.back();
            EXPECT_DOUBLE_EQ(viimane->m_ptPos->x() + viimane->m_cSuurus->width(), 100.0);
            EXPECT_EQ(read[r].m_arrELEMENT[1]->m_cSuurus->width(), 5.0 + 10.0 / 3.0);
            EXPECT_EQ(read[r].m_fMaksLaius, 90.0);
        }
        EXPECT_EQ(read[2].m_arrELEMENT[1]->m_ptPos->x(), 25.0);
    }
}

TEST(LineBreaking, NarrowerThenWiderRestoresTheLines) {
    auto loik = looLoik({{'M', 40},
                         {'U', 5},
                         {'M', 30},
                         {'U', 5},
                         {'M', 20},
                         {'U', 5},
                         {'M', 45},
                         {'U', 5},
                         {'M', 10},
                         {'N', 8}},
                        JOONDUS::ROOP);
    const auto laiad = reaIndeksid(paiguta(loik, 120));
    const auto laiadLaiused = laiused(*loik);
    EXPECT_GT(reaIndeksid(paiguta(loik, 60)).size(), laiad.size());
    EXPECT_EQ(reaIndeksid(paiguta(loik, 120)), laiad);
    EXPECT_EQ(laiused(*loik), laiadLaiused);
}

TEST(LineBreaking, ParagraphReplacesItsOwnLinesInPlace) {
    auto a = looLoik({{'M', 40}, {'N', 8}});
    auto b = looLoik({{'M', 40}, {'U', 5}, {'M', 40}, {'U', 5}, {'M', 40}, {'N', 8}});
    auto c = looLoik({{'M', 10}, {'N', 8}});
    std::vector<RIDA> arr(3);
    arr[0].m_LOIK = a;
    arr[1].m_LOIK = b;
    arr[2].m_LOIK = c;
    for (const auto& loik : {a, b, c})
        arr = loik->JoondaLoik(std::move(arr), 200);
    // b alone, narrower: its one line becomes three in the middle of the list.
    arr = b->JoondaLoik(std::move(arr), 50);
    // A paragraph missing from the list puts its lines first.
    auto d = looLoik({{'M', 10}, {'N', 8}});
    arr = d->JoondaLoik(std::move(arr), 200);
    std::vector<LOIK*> omanikud;
    for (const RIDA& rida : arr)
        omanikud.push_back(rida.m_LOIK.get());
    EXPECT_EQ(omanikud, (std::vector<LOIK*>{d.get(), a.get(), b.get(), b.get(), b.get(), c.get()}));
}

// --- the whole document in the view ---

void seaDokument(Tekstiboks& box, const std::vector<std::pair<JOONDUS, std::vector<Osa>>>& loigud) {
    box.m_arrLOIK.clear();
    box.m_arrRIDA.clear();
    for (const auto& [joondus, osad] : loigud) {
        box.m_arrLOIK.push_back(looLoik(osad, joondus));
        box.m_arrRIDA.emplace_back().m_LOIK = box.m_arrLOIK.back();
    }
}

// A line in terms that do not depend on which view holds it.
std::vector<std::vector<double>> pildista(const Tekstiboks& box) {
    std::vector<std::vector<double>> tulemus;
    for (const RIDA& rida : box.m_arrRIDA) {
        const auto p =
            std::find(box.m_arrLOIK.begin(), box.m_arrLOIK.end(), rida.m_LOIK) - box.m_arrLOIK.begin();
        std::vector<double> pilt = {double(p), *rida.m_fKoguKorgus, *rida.m_fTekstiKorgus, *rida.m_fTous,
                                    *rida.m_fMaksLaius};
        for (const ELEMENT* e : rida.m_arrELEMENT)
            pilt.insert(pilt.end(),
                        {double(indeks(*rida.m_LOIK, e)), e->m_ptPos->x(), e->m_cSuurus->width()});
        tulemus.push_back(pilt);
    }
    return tulemus;
}

TEST(DocumentLayout, WholeDocumentEqualsParagraphByParagraph) {
    const std::vector<std::pair<JOONDUS, std::vector<Osa>>> loigud = {
        {JOONDUS::VASAKUL,
         {{'M', 40}, {'U', 5}, {'M', 40}, {'U', 5}, {'M', 90}, {'T', 7}, {'M', 30}, {'N', 8}}},
        {JOONDUS::ROOP, {{'M', 60}, {'U', 5}, {'M', 60}, {'U', 5}, {'M', 60}, {'U', 5}, {'M', 60}, {'N', 8}}},
        {JOONDUS::KESKEL, {{'P', 120, 50}, {'U', 5}, {'M', 10}, {'N', 8}}},
        {JOONDUS::PAREMAL, {}},
        {JOONDUS::PAREMAL, {{'T', 7}, {'M', 250}, {'U', 5}, {'M', 20}, {'N', 8}}},
    };
    for (const double fLaius : {208.0, 100.0, 4.0}) {
        SCOPED_TRACE(fLaius);
        Tekstiboks box, viide;
        for (Tekstiboks* b : {&box, &viide}) {
            b->SeaNahtavaAlaSuurus(QSizeF(fLaius, 300));
            seaDokument(*b, loigud);
        }
        // Twice, so that the second pass starts from laid-out lines, not placeholders.
        for (int kord = 0; kord < 2; ++kord) {
            box.ReastaElemendid();
            for (const auto& loik : viide.m_arrLOIK)
                viide.m_arrRIDA = loik->JoondaLoik(std::move(viide.m_arrRIDA), viide.TooAknaLaius());
        }
        EXPECT_EQ(pildista(box), pildista(viide));
    }
}

TEST(DocumentLayout, GeometryFollowsHeightsAndTheZoomedGap) {
    for (const auto& [fSuum, g] : {std::pair{100.0, 3.0}, {200.0, 6.0}, {10.0, 0.3}}) {
        SCOPED_TRACE(fSuum);
        Tekstiboks box;
        box.SeaNahtavaAlaSuurus(QSizeF(500, 300));
        box.m_fSuum = fSuum;
        seaDokument(box, {{JOONDUS::VASAKUL, {{'M', 40, 14}, {'N', 8, 14}}},
                          {JOONDUS::VASAKUL, {{'P', 300, 50}, {'U', 5}, {'P', 300, 20}, {'N', 8}}},
                          {JOONDUS::VASAKUL, {}},
                          {JOONDUS::VASAKUL, {{'N', 8, 14}}}});
        box.ReastaElemendid();
        EXPECT_EQ(box.TooAknaLaius(), 492.0);
        EXPECT_EQ(box.TooMaksKursor(), 7);
        EXPECT_EQ(box.m_arrReaAlgus, (std::vector<qint64>{0, 2, 4, 6, 6}));
        const std::vector<double> korgused = {14, 50, 20, 0, 14};
        double fY = 0;
        for (size_t k = 0; k < korgused.size(); ++k) {
            EXPECT_DOUBLE_EQ(box.m_arrReaY[k], fY) << "line " << k;
            fY += korgused[k] + g;
        }
        EXPECT_DOUBLE_EQ(box.m_fKoguKorgus, fY);
        EXPECT_EQ(box.m_fMaksReaLaius, 308.0);

        // The first line's bottom is the top margin plus its height.
        for (const auto& [fPunkt, nRida] :
             {std::pair{0.0, 0}, {4 + 14.0, 0}, {4 + 14.01, 1}, {4 + box.m_arrReaY[3], 3}, {1e9, 5}})
            EXPECT_EQ(box.EsimeneRidaAlatesY(fPunkt), nRida) << "y " << fPunkt;
        for (const auto& [nIndeks, rida] : std::vector<std::pair<qint64, std::optional<qint64>>>{
                 {-1, std::nullopt}, {1, 0}, {2, 1}, {5, 2}, {6, 4}, {7, std::nullopt}})
            EXPECT_EQ(box.LeiaRida(nIndeks), rida) << "index " << nIndeks;
    }
}

TEST(DocumentLayout, DocumentWithoutParagraphsHasNoLines) {
    Tekstiboks box;
    seaDokument(box, {});
    box.ReastaElemendid();
    EXPECT_TRUE(box.m_arrRIDA.empty());
    EXPECT_EQ(box.m_fKoguKorgus, 0.0);
    EXPECT_EQ(box.TooMaksKursor(), 0);
    EXPECT_EQ(box.LeiaRida(0), std::nullopt);
    EXPECT_EQ(box.EsimeneRidaAlatesY(10), 0);
}

TEST(VisibleArea, SizeComesFromTheOverrideOrTheScrollArea) {
    Tekstiboks ilmaEmata;
    EXPECT_EQ(ilmaEmata.TooEmaSuurus(), QSizeF(0, 0));
    EXPECT_EQ(ilmaEmata.TooMaksKursor(), 1);

    QScrollArea ala;
    auto* box = new Tekstiboks;
    ala.setWidget(box);
    ala.resize(500, 300);
    ala.show();
    const QSizeF vaateala(ala.viewport()->size());
    EXPECT_FALSE(vaateala.isEmpty());
    EXPECT_EQ(box->TooEmaSuurus(), vaateala);
    EXPECT_EQ(box->TooAknaKorgus(), vaateala.height() - 8);

    box->SeaNahtavaAlaSuurus(QSizeF(500, 200));
    EXPECT_EQ(box->TooAknaLaius(), 492.0);
    EXPECT_EQ(box->TooAknaKorgus(), 192.0);
    box->SeaNahtavaAlaSuurus(std::nullopt);
    EXPECT_EQ(box->TooEmaSuurus(), vaateala);
}

} // namespace
