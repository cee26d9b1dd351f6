// Line breaking, line alignment and whole-document layout, with element sizes set by hand.

#include "tekst/ELENTER.h"
#include "tekst/ELMARK.h"
#include "tekst/ELPILT.h"
#include "tekst/ELTAB.h"
#include "tekst/ELTUHIK.h"
#include "tekst/Tekstiboks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ranges>
#include <sstream>

namespace {

// Elements as kind letter and width, optionally "/height" (else 14): M run, U space, T tab,
// N paragraph end, P picture. The rise of text is 3/4 of its height.
std::shared_ptr<LOIK> looLoik(const std::string& strOsad, JOONDUS joondus = JOONDUS::VASAKUL) {
    auto loik = std::make_shared<LOIK>();
    loik->m_Joondus = joondus;
    std::istringstream in(strOsad);
    char c;
    double w, h;
    while (in >> c >> w) {
        h = in.peek() == '/' ? (in.ignore() >> h, h) : 14.0;
        std::unique_ptr<ELEMENT> e = c == 'M'   ? std::make_unique<ELMARK>()
                                     : c == 'U' ? std::make_unique<ELTUHIK>()
                                     : c == 'T' ? std::make_unique<ELTAB>()
                                     : c == 'N' ? std::make_unique<ELENTER>()
                                                : std::unique_ptr<ELEMENT>(std::make_unique<ELPILT>());
        if (auto* tuhik = dynamic_cast<ELTUHIK*>(e.get()))
            tuhik->m_fOrginaalLaius = w;
        e->m_cSuurus = QSizeF(w, h);
        e->m_fTous = c == 'P' ? 0.0 : h * 0.75;
        loik->m_arrELEMENT.push_back(std::move(e));
    }
    return loik;
}

// Lines as the indices of their elements in their paragraph, "[0 1][2]", optionally with positions,
// "[0@0+40 1@40+5][2@0+40]", and each line's height, text height, rise and width.
std::string kuva(const std::vector<RIDA>& read, bool bKohad, bool bKorgused = false) {
    std::ostringstream out;
    out.precision(17);
    for (const RIDA& rida : read) {
        const auto& arr = rida.m_LOIK->m_arrELEMENT;
        out << '[';
        for (const ELEMENT* e : rida.m_arrELEMENT) {
            out << (e == rida.m_arrELEMENT.front() ? "" : " ")
                << std::ranges::find(arr, e, &std::unique_ptr<ELEMENT>::get) - arr.begin();
            if (bKohad)
                out << '@' << e->m_ptPos->x() << '+' << e->m_cSuurus->width();
        }
        out << ']';
        if (bKorgused)
            out << *rida.m_fKoguKorgus << ',' << *rida.m_fTekstiKorgus << ',' << *rida.m_fTous << ','
                << *rida.m_fMaksLaius;
    }
    return out.str();
}

TEST(LineBreaking, BreaksAndPlacesWhereTheRulesSay) {
    const struct {
        const char *nimi, *osad;
        double fLaius;
        const char* read; // with "@" positions are checked as well
        JOONDUS joondus = JOONDUS::VASAKUL;
    } juhud[] = {
        {"worked example", "M40 U5 M40 U5 M40 N8", 100, "[0@0+40 1@40+5 2@45+40 3@85+5][4@0+40 5@40+8]"},
        {"exactly as wide as the content", "M50 U5 M37 N8", 100, "[0 1 2 3]"},
        {"one point wider", "M50 U5 M38 N8", 100, "[0 1][2 3]"},
        {"word wider than the line", "M40 U5 M150 U5 M40 N8", 100, "[0 1][2][3 4 5]"},
        {"paragraph end never starts a line", "M95 N8", 100, "[0 1]"},
        {"touching runs", "M60 M60 N8", 100, "[0][1 2]"},
        {"touching runs filling the line exactly", "M50 M50 N8", 100, "[0 1 2]"},
        {"paragraph end alone at width 0", "N8", 0, "[0]"},
        {"trailing space leaves no empty line", "M10 U5", 0, "[0][1]"},
        {"negative width", "M10 U5 M10 N8", -10, "[0][1][2 3]"},
        {"empty paragraph keeps one empty line", "", 100, "[]"},
        // Tabs reach the next stop every 24 points.
        {"tab at the start of a line", "T7 N8", 100, "[0@0+24 1@24+8]"},
        {"tab after text 30 wide", "M30 T7 N8", 100, "[0@0+30 1@30+18 2@48+8]"},
        {"tab after text exactly 24 wide", "M24 T7 N8", 100, "[0@0+24 1@24+24 2@48+8]"},
        // 98 + 22 overflows: the tab moves on and keeps the width of its old place.
        {"tab moved to a new line", "M98 T7 N8", 100, "[0@0+98][1@0+22 2@22+8]"},
        // After the space the lookahead counts the tab with the width it still holds.
        {"held tab pushes the word on", "M40 U5 M10 T50 N8", 100, "[0@0+40 1@40+5][2@0+10 3@10+14 4@24+8]"},
        {"held tab lets the word stay", "M40 U5 M10 T5 N8", 100, "[0@0+40 1@40+5 2@45+10 3@55+17 4@72+8]"},
        {"centred", "M30 U5 M25", 100, "[0@20+30 1@50+5 2@55+25]", JOONDUS::KESKEL},
        {"right", "M30 U5 M25", 100, "[0@40+30 1@70+5 2@75+25]", JOONDUS::PAREMAL},
        {"centred, wider than the content", "M60", 50, "[0@0+60]", JOONDUS::KESKEL},
        // Every line but the last ends at the content width; the last keeps its spaces and stays left.
        {"justified", "M40 U5 M40 U5 M10 U5 M10 N8", 100,
         "[0@0+40 1@40+10 2@50+40 3@90+10][4@0+10 5@10+5 6@15+10 7@25+8]", JOONDUS::ROOP},
    };
    for (const auto& juht : juhud) {
        // The lines hold their paragraph.
        const auto read = looLoik(juht.osad, juht.joondus)->JoondaLoik({}, juht.fLaius);
        EXPECT_EQ(kuva(read, std::strchr(juht.read, '@')), juht.read) << juht.nimi;
    }
}

// Stepping 24 points at a time from 0 to the tab stop would never end after an enormous picture.
TEST(LineBreaking, TabAfterAnEnormousWidthDoesNotHang) {
    for (const double fLaius : {1e300, double(INFINITY), double(NAN)}) {
        auto loik = looLoik("P0 T7 M10 N8");
        loik->m_arrELEMENT[0]->m_cSuurus->setWidth(fLaius);
        const bool bRead = !loik->JoondaLoik({}, 1e308).empty();
        EXPECT_TRUE(bRead && (!std::isfinite(fLaius) || loik->m_arrELEMENT[1]->m_cSuurus->width() == 0.0));
    }
}

TEST(DocumentLayout, WholeDocumentEqualsParagraphByParagraph) {
    Tekstiboks box, viide;
    for (Tekstiboks* b : {&box, &viide}) {
        b->m_arrLOIK = {looLoik("M40 U5 M40 U5 M90 T7 M30 N8", JOONDUS::KESKEL),
                        looLoik("M150 U5 M150 U5 M151 U5 M150 N8", JOONDUS::ROOP),
                        looLoik("P300/50 U5 P300/20 P200/10 N8"), looLoik("", JOONDUS::PAREMAL),
                        looLoik("T7 M250 U5 M20 N8", JOONDUS::PAREMAL)};
        b->m_arrRIDA.clear();
    }
    // Each width starts from the lines of the one before, which every paragraph replaces in place;
    // the first time the lines are missing, and a paragraph puts its own first.
    for (const double fLaius : {100.0, 4.0, 208.0, 500.0}) {
        SCOPED_TRACE(fLaius);
        for (Tekstiboks* b : {&box, &viide})
            b->SeaNahtavaAlaSuurus(QSizeF(fLaius, 300));
        box.ReastaElemendid();
        for (const auto& loik : std::views::reverse(viide.m_arrLOIK))
            viide.m_arrRIDA = loik->JoondaLoik(std::move(viide.m_arrRIDA), viide.TooAknaLaius());
        EXPECT_EQ(kuva(box.m_arrRIDA, true, true), kuva(viide.m_arrRIDA, true, true));
    }
    // At 500 the content is 492 wide. The justified paragraph's first line fills it though its three
    // spaces share 26 points, after it was stretched and laid out narrower; its last line is not
    // justified. The width of the longest line is the natural width, 466.
    const RIDA& roop = box.m_arrRIDA[1];
    EXPECT_DOUBLE_EQ(roop.m_arrELEMENT[5]->m_ptPos->x() + roop.m_arrELEMENT[5]->m_cSuurus->width(), 492.0);
    EXPECT_EQ(roop.m_arrELEMENT[1]->m_cSuurus->width(), 5.0 + 26.0 / 3.0);
    EXPECT_EQ(kuva({box.m_arrRIDA[2]}, true), "[6@0+150 7@150+8]");
    // A picture taller than the text raises the line, not its text part; pictures alone have none.
    EXPECT_EQ(kuva({box.m_arrRIDA[3], box.m_arrRIDA[4]}, true, true),
              "[0@0+300 1@300+5]50,14,10.5,305[2@0+300]20,0,0,300");
    EXPECT_EQ(box.TooMaksKursor(), 26);
    EXPECT_EQ(box.m_arrReaAlgus, (std::vector<qint64>{0, 8, 14, 16, 18, 19, 21, 21}));
    // Heights 14, 14, 14, 50, 20, 14, 0 and 14, each followed by a gap of 3.
    EXPECT_EQ(box.m_arrReaY, (std::vector<double>{0, 17, 34, 51, 104, 127, 144, 147}));
    EXPECT_EQ(std::pair(box.m_fKoguKorgus, box.m_fMaksReaLaius), std::pair(164.0, 466.0));
    for (const auto& [nIndeks, rida] : std::vector<std::pair<qint64, std::optional<qint64>>>{
             {-1, std::nullopt}, {7, 0}, {8, 1}, {18, 4}, {21, 7}, {26, std::nullopt}})
        EXPECT_EQ(box.LeiaRida(nIndeks), rida) << "index " << nIndeks;

    box.m_arrLOIK.clear();
    box.ReastaElemendid();
    EXPECT_TRUE(box.m_arrRIDA.empty() && box.m_fKoguKorgus == 0.0 && box.TooMaksKursor() == 0);
    EXPECT_TRUE(!box.LeiaRida(0) && box.EsimeneRidaAlatesY(10) == 0);
}

} // namespace
