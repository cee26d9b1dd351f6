#include "tekst/ELMARK.h"
#include "tekst/ELPILT.h"
#include "tekst/Tekstiboks.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace {

// A 2 x 2 red PNG stored at 120 x 80.
const QString kPilt = "{P iVBORw0KGgoAAAANSUhEUgAAAAIAAAACCAIAAAD91JpzAAAAEElEQVR4nGP4z8AARAwQCgAf7gP9i18U"
                      "1AAAAABJRU5ErkJggg==;120.0;80.0;}";

struct Vaade {
    Tekstiboks tb;
    MessageRecorder teated;
};

std::vector<qint64> kirjad(const Tekstiboks& tb) {
    std::vector<qint64> arr;
    for (const auto& loik : tb.m_arrLOIK)
        for (const auto& e : loik->m_arrELEMENT)
            arr.push_back(e->m_nKiri);
    return arr;
}

// The document in one line: each paragraph's alignment digit, then its elements, runs in brackets.
// An element whose style is not in the style table is marked with "!".
QString kirjeldus(const Tekstiboks& tb) {
    QString s;
    for (const auto& loik : tb.m_arrLOIK) {
        s += QString::number(int(loik->m_Joondus));
        for (const auto& e : loik->m_arrELEMENT)
            s += (e->m_nKiri >= 0 && e->m_nKiri < qint64(tb.m_arrJooksevKiri.size()) ? "" : "!") +
                 (e->m_TUUP == ELTUUP::MARK ? "[" + static_cast<const ELMARK*>(e.get())->m_strTekst + "]"
                                            : QString(QStringLiteral("?¶?→_▣").at(int(*e->m_TUUP))));
    }
    return s;
}

} // namespace

TEST(Reader, WorkedExampleGivesTwoParagraphsAndTwoStyles) {
    Vaade v;
    ASSERT_TRUE(v.tb.AvaFail("VLM1<1{F Arial;12;0;0;0;0;0;0;#000000}{E #ffffff}{M Tere}{U}{M maailm!}{N}>\n"
                             "<2{F Arial;12;1;0;0;0;0;0;#000000}{M Pealkiri}{T}{M 2}{N}>"));
    EXPECT_TRUE(v.teated.messages.empty());
    EXPECT_EQ(kirjeldus(v.tb), QStringLiteral("1[Tere]_[maailm!]¶2[Pealkiri]→[2]¶"));
    const auto& k = v.tb.m_arrJooksevKiri;
    EXPECT_TRUE(k.size() == 2 && k[0].m_fKirjasuurus == 12.0 && !k[0].m_bPaks && k[1].m_bPaks);
}

TEST(Reader, TokensPayloadsAndRepairs) {
    const std::vector<std::pair<QString, QString>> read = {
        // The letter after the token's letter is skipped whatever it is; a blank payload is empty,
        // and so is one whose closing brace is at p + 2. Payloads keep markup. Paragraph-level
        // characters and tokens with an unknown letter are ignored.
        {"VLM1<1{F Arial;12;0;0;0;0;0;0;#000000}{MTere}{M }{M}x{M a<b>c{d\ne}y<z{Q zz}{M b}{N}>",
         "1[ere][][][a<b>c{d\ne][b]¶"},
        // Missing paragraph ends are appended; an alignment out of range opens flush left, and a
        // non-digit after < is scanned as content.
        {"VLM1<4{M a}><3><9{M b}{N}><{M c}{N}>", "4[a]¶3¶1[b]¶1[c]¶"},
        {"VLM1<1{M a}{N}><", "1[a]¶"},
        // A picture payload is skipped whole, ">" and "{" included.
        {"VLM1<1{P a>b{Mc;7;9;}{M x}{N}>", "1▣[x]¶"},
        {"VLM1<1{M a}{N}><1{M abc", "1[a]¶"}, // unclosed payload and paragraph are dropped
        {"VLM1<1{M a}", "1¶"},                // no closed paragraph: the empty document
    };
    for (const auto& [doc, oodatud] : read) {
        Vaade v;
        ASSERT_TRUE(v.tb.AvaFail(doc)) << qPrintable(doc);
        EXPECT_TRUE(v.teated.messages.empty());
        EXPECT_EQ(kirjeldus(v.tb), oodatud);
    }
}

TEST(Reader, StyleTableAndCarryOver) {
    Vaade v;
    // Style and highlight before the first paragraph are not recognised; both carry into the next
    // paragraph. Canonically equivalent face names and -0 / 0 sizes are the same style; the case of
    // a face name or any other field make a new one. A ">" inside a style payload closes the
    // paragraph; the rest of that payload is then outside.
    ASSERT_TRUE(v.tb.AvaFail(QStringLiteral("VLM1{F Times;30;0;0;0;0;0;0;#000000}{E #ff0000}<1{M a}"
                                            "{F Caf\u00e9;0;0;0;0;0;0;0;#000000}{M b}{E #00ff00}{N}>\n"
                                            "<1{M c}{F Cafe\u0301;-0;0;0;0;0;0;0;#000000}{M d}"
                                            "{F caf\u00e9;0;0;0;0;0;0;0;#000000}{M e}"
                                            "{F Caf\u00e9;0;0;0;0;0;0;0;#000001}{M f}{N}>"
                                            "<1{F Arial;9;0;0;0>;0;#000000}{M g}{N}>")));
    EXPECT_EQ(kirjeldus(v.tb), QStringLiteral("1[a][b]¶1[c][d][e][f]¶1¶"));
    EXPECT_FALSE(v.tb.m_arrLOIK[0]->m_arrELEMENT[0]->m_clEsiletost.has_value());
    EXPECT_EQ(v.tb.m_arrLOIK[1]->m_arrELEMENT[0]->m_clEsiletost, (Colour{0, 1, 0, 1}));
    EXPECT_EQ(kirjad(v.tb), (std::vector<qint64>{0, 1, 1, 1, 1, 2, 3, 3, 4}));
    ASSERT_EQ(v.tb.m_arrJooksevKiri.size(), 5u);
    EXPECT_EQ(v.tb.m_arrJooksevKiri[4].m_fKirjasuurus, 9.0);
}

// Without a complete paragraph the document is the one of start-up, whatever styles the text set.
TEST(Reader, TextWithoutAParagraphIsTheStartUpDocument) {
    const Tekstiboks alguses;
    for (const QString& doc : {QString("VLM1"), QString("VLM1<1{F Arial;40;1;0;0;0;0;0;#ff0000}{M x}{N}")}) {
        Vaade v;
        ASSERT_TRUE(v.tb.AvaFail(doc));
        EXPECT_EQ(kirjeldus(v.tb), "1¶");
        ASSERT_EQ(v.tb.m_arrJooksevKiri.size(), 1u);
        EXPECT_TRUE(v.tb.m_arrJooksevKiri[0].OnSama(KIRI()));
        EXPECT_EQ(v.tb.m_arrRIDA[0].m_fKoguKorgus, alguses.m_arrRIDA[0].m_fKoguKorgus) << qPrintable(doc);
    }
}

// Styles differing in any one field are two styles, however close their numbers.
TEST(Reader, StylesDifferingInOneFieldAreTwoStyles) {
    QStringList arrTeised = {"12.0000001;0;0;0;0;0;0"};
    for (int nLipp = 0; nLipp < 6; ++nLipp) // bold, italic, underline, strike, super- and subscript
        arrTeised << "12;" + QString("0;0;0;0;0;0").replace(2 * nLipp, 1, u'1');
    for (const QString& strTeine : arrTeised) {
        Vaade v;
        ASSERT_TRUE(
            v.tb.AvaFail("VLM1<1{F Arial;12}{M a}{F Arial;" + strTeine + "}{M b}{F Arial;12}{M c}{N}>"));
        EXPECT_EQ(kirjad(v.tb), (std::vector<qint64>{0, 1, 0, 0})) << qPrintable(strTeine);
    }
}

TEST(Reader, RefusedTextLeavesTheDocumentAloneAndReadingResetsIt) {
    const auto olek = [](const Tekstiboks& tb) {
        return std::tuple(tb.m_fSuum, tb.m_nKursor, tb.m_nShiftKursor, tb.m_strSuumiTekst);
    };
    for (const QString& doc :
         {QString(), QString("VLM"), QString("vlm1<1{M a}{N}>"), QString(" VLM1<1{M a}{N}>"),
          "VLM1<1" + QString("{U}").repeated(11) + "{N}>"}) {
        const QString teade = doc.contains("{U}") ? "more than 10 elements" : "Faili formaat ei sobi!";
        Vaade v;
        v.tb.m_nSuurimElemente = 10;
        ASSERT_TRUE(v.tb.AvaFail("VLM1<2{M a}{U}{M b}{N}>"));
        v.tb.Suumi(150);
        v.tb.m_nKursor = 2;
        v.tb.m_nShiftKursor = 1;
        const LOIK* enne = v.tb.m_arrLOIK[0].get();
        EXPECT_FALSE(v.tb.AvaFail(doc));
        ASSERT_EQ(v.teated.messages.size(), 1u);
        EXPECT_TRUE(v.teated.messages[0].title == "Viga" && v.teated.messages[0].text.contains(teade));
        EXPECT_EQ(v.tb.m_arrLOIK[0].get(), enne);
        EXPECT_EQ(olek(v.tb), std::tuple(150.0, qint64(2), qint64(1), QString("150%")));
        ASSERT_TRUE(v.tb.AvaFail("VLM1<1{M c}{N}>"));
        EXPECT_EQ(olek(v.tb), std::tuple(100.0, qint64(0), qint64(0), QString("100%")));
    }
}

// Paragraphs and style changes count with the elements, the paragraph end that closing adds among
// them. However much memory there is, the count has a fixed bound.
TEST(Reader, ElementLimitCountsElementsParagraphsAndStyleChanges) {
    const std::tuple<const char*, qint64, bool> read[] = {
        {"VLM1<1{U}{U}{N}>", 4, true},     {"VLM1<1{U}{U}{N}>", 3, false},    {"VLM1<1{U}><1{N}>", 5, true},
        {"VLM1<1{U}><1{N}>", 4, false},    {"VLM1<1{U}>", 2, false},          {"VLM1<1>", 1, false},
        {"VLM1<1{F a}{F a}{N}>", 4, true}, {"VLM1<1{F a}{F a}{N}>", 3, false}};
    for (const auto& [doc, nSuurim, bLoetud] : read) {
        Vaade v;
        v.tb.m_nSuurimElemente = nSuurim;
        EXPECT_EQ(v.tb.AvaFail(doc), bLoetud) << doc << " " << nSuurim;
        EXPECT_EQ(v.teated.messages.size(), bLoetud ? 0u : 1u) << doc << " " << nSuurim;
    }
    Tekstiboks tb;
    EXPECT_TRUE(tb.TooSuurimElemente() > 0 && tb.TooSuurimElemente() <= Tekstiboks::kElementePiir);
}

// Equal styles count once, whatever their spelling; one more distinct style than the limit refuses
// the document and keeps the one shown.
TEST(Reader, DistinctStylesAreLimited) {
    const std::tuple<const char*, qint64, bool> read[] = {
        {"VLM1<1{F a}{F b}{M x}{N}>", 2, true},
        {"VLM1<1{F a}{F b}{F a;15}{F ;a;;}{M x}{N}>", 2, true},
        {"VLM1<1{F a}{F b}{F c}{M x}{N}>", 2, false},
        {"VLM1<1{M x}{F b}{N}>", 1, false},
        {"VLM1<1{M x}{N}>", 0, true},
    };
    for (const auto& [doc, nSuurim, bLoetud] : read) {
        Vaade v;
        v.tb.m_nSuurimKirju = nSuurim;
        const LOIK* enne = v.tb.m_arrLOIK[0].get();
        EXPECT_EQ(v.tb.AvaFail(doc), bLoetud) << doc;
        if (!bLoetud) {
            EXPECT_TRUE(
                v.teated.messages.size() == 1 &&
                v.teated.messages[0].text.contains(QStringLiteral("more than %1 different").arg(nSuurim)))
                << doc;
            EXPECT_EQ(v.tb.m_arrLOIK[0].get(), enne);
        }
    }
}

TEST(Reader, PicturesKeepTheirStoredSizeAndSearchTextMapsToElements) {
    Vaade v;
    ASSERT_TRUE(v.tb.AvaFail("VLM1<1{M ß}{T}{M õun}{M }{M \U0001F600}" + kPilt + "{P @@;7;9;}{U}{N}>"));
    ASSERT_EQ(kirjeldus(v.tb), QStringLiteral("1[ß]→[õun][][\U0001F600]▣▣_¶"));
    // An undecodable picture keeps its stored size and the rest of the document opens.
    const auto& arr = v.tb.m_arrLOIK[0]->m_arrELEMENT;
    EXPECT_TRUE(static_cast<const ELPILT*>(arr[5].get())->m_Kujutis.has_value());
    EXPECT_EQ(arr[5]->m_cSuurus, QSizeF(120, 80));
    EXPECT_FALSE(static_cast<const ELPILT*>(arr[6].get())->m_Kujutis.has_value());
    EXPECT_EQ(arr[6]->m_cSuurus, QSizeF(7, 9));

    // Every code unit of the search text leads back to its element; past the end, to the last.
    // Letters are decomposed: Õ is O and a combining tilde.
    EXPECT_EQ(v.tb.m_strSisu, QStringLiteral("SS\tO\u0303UN\U0001F600\u0001\u0001 \u00b6"));
    const std::vector<qint64> oodatud = {0, 0, 1, 2, 2, 2, 2, 4, 4, 5, 6, 7, 8};
    for (size_t i = 0; i < oodatud.size(); ++i)
        EXPECT_EQ(v.tb.TooSisuElement(qsizetype(i)), oodatud[i]) << i;
    EXPECT_EQ(v.tb.TooSisuElement(99), 8);
}

// Runs with equal short texts share one copy, and every repeat reads and searches like the first.
TEST(Reader, RepeatedRunTextsShareOneCopyAndSearchAlike) {
    const QString strPikk = QString(20, u'\u00e4');
    Tekstiboks tb;
    ASSERT_TRUE(tb.AvaFail("VLM1<1{M õun}{M a}{M õun}{M a}{M ß}{M ß}{M " + strPikk + "}{M " + strPikk +
                           "}{M }{M }{N}>"));
    const auto& arr = tb.m_arrLOIK[0]->m_arrELEMENT;
    const auto tekst = [&](size_t k) { return static_cast<const ELMARK&>(*arr[k]).m_strTekst; };
    for (const auto& [a, b] : {std::pair(0, 2), std::pair(1, 3), std::pair(4, 5)}) {
        EXPECT_EQ(tekst(size_t(a)), tekst(size_t(b)));
        EXPECT_EQ(tekst(size_t(a)).constData(), tekst(size_t(b)).constData()) << a;
    }
    EXPECT_EQ(tekst(6), strPikk);
    EXPECT_EQ(tekst(7), strPikk);
    EXPECT_TRUE(tekst(8).isEmpty());
    const QString strPikkOtsitav = QStringLiteral("A\u0308").repeated(20);
    EXPECT_EQ(tb.m_strSisu, QStringLiteral("O\u0303UNAO\u0303UNASSSS") + strPikkOtsitav + strPikkOtsitav +
                                QStringLiteral("\u00b6"));
    EXPECT_EQ(tb.TooSisuElement(8), 2);
    EXPECT_EQ(tb.TooSisuElement(9), 3);
    EXPECT_EQ(tb.TooSisuElement(12), 5);
}
