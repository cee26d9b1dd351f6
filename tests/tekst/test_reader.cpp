#include "extensions.h"
#include "tekst/ELENTER.h"
#include "tekst/ELMARK.h"
#include "tekst/ELPILT.h"
#include "tekst/Tekstiboks.h"
#include "testsupport.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

namespace {

const QString kArial12 = QStringLiteral("{F Arial;12;0;0;0;0;0;0;#000000}");

struct Vaade {
    Vaade() { tb.SeaNahtavaAlaSuurus(QSizeF(500, 400)); }
    Tekstiboks tb;
    MessageRecorder teated;
};

std::vector<const ELEMENT*> elemendid(const Tekstiboks& tb) {
    std::vector<const ELEMENT*> arr;
    for (const auto& loik : tb.m_arrLOIK)
        for (const auto& e : loik->m_arrELEMENT)
            arr.push_back(e.get());
    return arr;
}

QString tekst(const ELEMENT* e) {
    return e->m_TUUP == ELTUUP::MARK ? static_cast<const ELMARK*>(e)->m_strTekst : QString();
}

QString pngBase64(int w, int h) {
    QImage img(w, h, QImage::Format_RGBA8888);
    img.fill(Qt::red);
    QByteArray ba;
    QBuffer buf(&ba);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return QString::fromLatin1(ba.toBase64());
}

} // namespace

TEST(Reader, WorkedExampleGivesTwoParagraphsAndTwoStyles) {
    Vaade v;
    const QString doc = "VLM1<1{F Arial;12;0;0;0;0;0;0;#000000}{E #ffffff}{M Tere}{U}{M maailm!}{N}>\n"
                        "<2{F Arial;12;1;0;0;0;0;0;#000000}{M Pealkiri}{T}{M 2}{N}>";
    ASSERT_TRUE(v.tb.AvaFail(doc));
    EXPECT_TRUE(v.teated.messages.empty());
    ASSERT_EQ(v.tb.m_arrLOIK.size(), 2u);
    ASSERT_EQ(v.tb.m_arrJooksevKiri.size(), 2u);
    EXPECT_EQ(v.tb.m_arrJooksevKiri[0].m_fKirjasuurus, 12.0);
    EXPECT_FALSE(v.tb.m_arrJooksevKiri[0].m_bPaks);
    EXPECT_TRUE(v.tb.m_arrJooksevKiri[1].m_bPaks);
    EXPECT_EQ(v.tb.m_arrLOIK[0]->m_Joondus, JOONDUS::VASAKUL);
    EXPECT_EQ(v.tb.m_arrLOIK[1]->m_Joondus, JOONDUS::KESKEL);

    const auto& p1 = v.tb.m_arrLOIK[0]->m_arrELEMENT;
    ASSERT_EQ(p1.size(), 4u);
    EXPECT_EQ(tekst(p1[0].get()), "Tere");
    EXPECT_EQ(p1[1]->m_TUUP, ELTUUP::TUHIK);
    EXPECT_EQ(tekst(p1[2].get()), "maailm!");
    EXPECT_EQ(p1[3]->m_TUUP, ELTUUP::ENTER);
    const auto& p2 = v.tb.m_arrLOIK[1]->m_arrELEMENT;
    ASSERT_EQ(p2.size(), 4u);
    EXPECT_EQ(p2[1]->m_TUUP, ELTUUP::TAB);
    for (const auto& e : p2) {
        EXPECT_EQ(e->m_nKiri, 1);
        EXPECT_EQ(e->m_clEsiletost, Colour::white());
        EXPECT_TRUE(e->m_cSuurus.has_value());
    }
    EXPECT_EQ(v.tb.TooMaksKursor(), 8);
    EXPECT_EQ(v.tb.m_strSisu, QStringLiteral("TERE MAAILM!\u00b6PEALKIRI\t2\u00b6"));
    EXPECT_EQ(v.tb.m_arrRIDA.size(), 2u);
    EXPECT_EQ(v.tb.m_fSuum, 100.0);
}

TEST(Reader, TokensAndPayloads) {
    struct Rida {
        const char* nimi;
        QString keha;
        QStringList runs;
    };
    const std::vector<Rida> read = {
        {"letter after the token is always skipped", "{MTere}{N}", {"ere"}},
        {"blank payload is empty", "{M }{N}", {""}},
        {"closing brace at p + 2 gives an empty payload", "{M}{N}", {""}},
        {"payload keeps markup characters and line breaks", "{M a<b>c{d\ne}{N}", {"a<b>c{d\ne"}},
        {"paragraph-level characters between tokens are ignored", "x{M a}y<z{M b}{N}", {"a", "b"}},
        {"brace followed by an unknown letter is ignored", "{Q zz}{M a}{N}", {"a"}},
    };
    for (const auto& r : read) {
        Vaade v;
        ASSERT_TRUE(v.tb.AvaFail("VLM1<1" + kArial12 + r.keha + ">")) << r.nimi;
        ASSERT_EQ(v.tb.m_arrLOIK.size(), 1u) << r.nimi;
        QStringList runs;
        for (const ELEMENT* e : elemendid(v.tb))
            if (e->m_TUUP == ELTUUP::MARK)
                runs << tekst(e);
        EXPECT_EQ(runs, r.runs) << r.nimi;
    }
}

TEST(Reader, StyleAndHighlightState) {
    Vaade v;
    // A ">" inside a style payload closes the paragraph; the rest of that payload is then outside.
    ASSERT_TRUE(v.tb.AvaFail("VLM1{F Times;30;0;0;0;0;0;0;#000000}{E #ff0000}<1{M a}" + kArial12 +
                             "{M b}{E #00ff00}{N}>\n<1{M c}" + kArial12 +
                             "{M d}{N}>"
                             "<1{F Arial;9;0;0;0>;0;#000000}{M e}{N}>"));
    const auto arr = elemendid(v.tb);
    // Style and highlight before the first paragraph are not recognised; "a" precedes any style.
    EXPECT_EQ(arr[0]->m_nKiri, 0);
    EXPECT_FALSE(arr[0]->m_clEsiletost.has_value());
    EXPECT_EQ(v.tb.m_arrJooksevKiri[0].m_fKirjasuurus, 15.0);
    // Arial 12 is new, and reused when it comes again.
    EXPECT_EQ(arr[1]->m_nKiri, 1);
    EXPECT_EQ(v.tb.m_arrJooksevKiri.size(), 3u);
    // The highlight set in one paragraph carries into the next.
    EXPECT_EQ(arr[3]->m_clEsiletost, (Colour{0, 1, 0, 1}));
    EXPECT_EQ(arr[3]->m_nKiri, 1);
    EXPECT_EQ(arr[4]->m_nKiri, 1);
    // The third paragraph closed inside its style text: it holds only the repaired paragraph end.
    ASSERT_EQ(v.tb.m_arrLOIK.size(), 3u);
    ASSERT_EQ(v.tb.m_arrLOIK[2]->m_arrELEMENT.size(), 1u);
    EXPECT_EQ(v.tb.m_arrLOIK[2]->m_arrELEMENT[0]->m_TUUP, ELTUUP::ENTER);
    EXPECT_EQ(v.tb.m_arrJooksevKiri[2].m_fKirjasuurus, 9.0);
}

TEST(Reader, EqualRunsShareTheirMeasurement) {
    Vaade v;
    ASSERT_TRUE(v.tb.AvaFail("VLM1<1" + kArial12 +
                             "{M sõna}{U}{M sõna}{U}{F Arial;24;0;0;0;0;0;0;#000000}"
                             "{M sõna}{U}{N}>"));
    const auto arr = elemendid(v.tb);
    EXPECT_EQ(arr[0]->m_cSuurus->height(), arr[2]->m_cSuurus->height());
    EXPECT_EQ(arr[0]->m_fTous, arr[2]->m_fTous);
    EXPECT_GT(arr[4]->m_cSuurus->height(), arr[0]->m_cSuurus->height());
    EXPECT_GT(arr[5]->m_cSuurus->height(), arr[1]->m_cSuurus->height());
}

TEST(Reader, RepairsOfMalformedDocuments) {
    struct Rida {
        const char* nimi;
        QString doc;
        size_t nLoike;
        std::vector<size_t> elemente;
        JOONDUS joondus;
    };
    const std::vector<Rida> read = {
        {"missing paragraph end is appended", "VLM1<4" + kArial12 + "{M a}>", 1, {2}, JOONDUS::ROOP},
        {"alignment digit out of range opens flush left", "VLM1<9{M a}{N}>", 1, {2}, JOONDUS::VASAKUL},
        {"a non-digit after < opens flush left and is scanned", "VLM1<{M a}{N}>", 1, {2}, JOONDUS::VASAKUL},
        {"< as the last character", "VLM1<1{M a}{N}><", 1, {2}, JOONDUS::VASAKUL},
        {"unclosed last paragraph is dropped", "VLM1<1{M a}{N}><2{M b}{N}", 1, {2}, JOONDUS::VASAKUL},
        {"run payload without closing brace runs to the end",
         "VLM1<1{M a}{N}><1{M abc",
         1,
         {2},
         JOONDUS::VASAKUL},
        {"empty paragraph gets its paragraph end", "VLM1<3>", 1, {1}, JOONDUS::PAREMAL},
        {"magic alone becomes the empty document", "VLM1", 1, {1}, JOONDUS::VASAKUL},
        {"no closed paragraph becomes the empty document", "VLM1<1{M a}", 1, {1}, JOONDUS::VASAKUL},
    };
    for (const auto& r : read) {
        Vaade v;
        ASSERT_TRUE(v.tb.AvaFail(r.doc)) << r.nimi;
        EXPECT_TRUE(v.teated.messages.empty()) << r.nimi;
        ASSERT_EQ(v.tb.m_arrLOIK.size(), r.nLoike) << r.nimi;
        EXPECT_EQ(v.tb.m_arrLOIK[0]->m_Joondus, r.joondus) << r.nimi;
        for (size_t k = 0; k < r.nLoike; ++k) {
            ASSERT_EQ(v.tb.m_arrLOIK[k]->m_arrELEMENT.size(), r.elemente[k]) << r.nimi;
            EXPECT_EQ(v.tb.m_arrLOIK[k]->m_arrELEMENT.back()->m_TUUP, ELTUUP::ENTER) << r.nimi;
        }
        EXPECT_FALSE(v.tb.m_arrJooksevKiri.empty()) << r.nimi;
        for (const ELEMENT* e : elemendid(v.tb)) {
            EXPECT_GE(e->m_nKiri, 0) << r.nimi;
            EXPECT_LT(e->m_nKiri, qint64(v.tb.m_arrJooksevKiri.size())) << r.nimi;
        }
        EXPECT_EQ(v.tb.TooMaksKursor(), qint64(v.tb.m_strSisu.size())) << r.nimi;
        EXPECT_FALSE(v.tb.m_arrRIDA.empty()) << r.nimi;
    }
}

TEST(Reader, RejectedTextLeavesTheDocumentAlone) {
    for (const QString& doc : {QString(), QStringLiteral("VLM"), QStringLiteral("vlm1<1{M a}{N}>"),
                               QStringLiteral(" VLM1<1{M a}{N}>")}) {
        Vaade v;
        ASSERT_TRUE(v.tb.AvaFail("VLM1<2" + kArial12 + "{M a}{U}{M b}{N}>"));
        v.tb.Suumi(150);
        v.tb.m_nKursor = 2;
        v.tb.m_nShiftKursor = 1;
        const LOIK* enne = v.tb.m_arrLOIK[0].get();

        EXPECT_FALSE(v.tb.AvaFail(doc));
        ASSERT_EQ(v.teated.messages.size(), 1u);
        EXPECT_EQ(v.teated.messages[0].title, "Viga");
        EXPECT_EQ(v.teated.messages[0].text, "Faili formaat ei sobi!");
        ASSERT_EQ(v.tb.m_arrLOIK.size(), 1u);
        EXPECT_EQ(v.tb.m_arrLOIK[0].get(), enne);
        EXPECT_EQ(v.tb.m_fSuum, 150.0);
        EXPECT_EQ(v.tb.m_nKursor, 2);
        EXPECT_EQ(v.tb.m_nShiftKursor, 1);
    }
}

TEST(Reader, ReadingResetsZoomAndCursor) {
    Vaade v;
    ASSERT_TRUE(v.tb.AvaFail("VLM1<1" + kArial12 + "{M a}{U}{M b}{N}>"));
    v.tb.Suumi(300);
    v.tb.m_nKursor = 3;
    ASSERT_TRUE(v.tb.AvaFail("VLM1<1" + kArial12 + "{M c}{N}>"));
    EXPECT_EQ(v.tb.m_fSuum, 100.0);
    EXPECT_EQ(v.tb.m_nKursor, 0);
    EXPECT_EQ(v.tb.m_nShiftKursor, 0);
    EXPECT_EQ(v.tb.m_strSuumiTekst, "100%");
}

TEST(Reader, PicturesAreReadWithTheirStoredSize) {
    Vaade v;
    ASSERT_TRUE(
        v.tb.AvaFail("VLM1<1" + kArial12 + "{P " + pngBase64(20, 10) + ";120.0;80.0;}{P @@;7;9;}{N}>"));
    const auto arr = elemendid(v.tb);
    ASSERT_EQ(arr.size(), 3u);
    const auto* pilt = static_cast<const ELPILT*>(arr[0]);
    ASSERT_TRUE(pilt->m_Kujutis.has_value());
    EXPECT_EQ(pilt->m_cSuurus, QSizeF(120, 80));
    EXPECT_EQ(pilt->m_fTous, 0.0);
    // An undecodable picture keeps its stored size and the rest of the document opens.
    const auto* vigane = static_cast<const ELPILT*>(arr[1]);
    EXPECT_FALSE(vigane->m_Kujutis.has_value());
    EXPECT_EQ(vigane->m_cSuurus, QSizeF(7, 9));
    EXPECT_EQ(v.tb.m_strSisu, QStringLiteral("\u0001\u0001\u00b6"));
}

TEST(Reader, SearchTextKeepsTheElementOfEveryCodeUnit) {
    Vaade v;
    ASSERT_TRUE(v.tb.AvaFail("VLM1<1" + kArial12 + "{M ß}{T}{M õun}{M }{M \U0001F600}{N}>"));
    EXPECT_EQ(v.tb.m_strSisu, QStringLiteral("SS\tÕUN\U0001F600\u00b6"));
    const std::vector<qint64> oodatud = {0, 0, 1, 2, 2, 2, 4, 4, 5};
    for (size_t i = 0; i < oodatud.size(); ++i)
        EXPECT_EQ(v.tb.TooSisuElement(qsizetype(i)), oodatud[i]) << i;
    EXPECT_EQ(v.tb.TooSisuElement(99), 5);
}

TEST(Reader, StyleTableKeepsEachStyleOnce) {
    Vaade v;
    // Canonically equivalent face names and -0 / 0 sizes are the same style; the case of a face
    // name and any other field make a new one.
    ASSERT_TRUE(v.tb.AvaFail(QStringLiteral("VLM1<1{F Caf\u00e9;0;0;0;0;0;0;0;#000000}{M a}"
                                            "{F Cafe\u0301;-0;0;0;0;0;0;0;#000000}{M b}"
                                            "{F caf\u00e9;0;0;0;0;0;0;0;#000000}{M c}"
                                            "{F Caf\u00e9;0;0;0;0;0;0;0;#000001}{M d}"
                                            "{F Caf\u00e9;0;0;0;0;0;0;0;#000000}{M e}{N}>")));
    const auto arr = elemendid(v.tb);
    const std::vector<qint64> oodatud = {0, 0, 1, 2, 0, 0};
    for (size_t i = 0; i < oodatud.size(); ++i)
        EXPECT_EQ(arr[i]->m_nKiri, oodatud[i]) << i;
    EXPECT_EQ(v.tb.m_arrJooksevKiri.size(), 3u);
}

TEST(Reader, DocumentWithTooManyElementsIsRefused) {
    Vaade v;
    v.tb.m_nSuurimElemente = 10;
    EXPECT_TRUE(v.tb.AvaFail("VLM1<1{U}{U}{U}{U}{U}{U}{U}{U}{N}>"));
    EXPECT_FALSE(v.tb.AvaFail("VLM1<1{U}{U}{U}{U}{U}{U}{U}{U}{U}{U}{U}{N}>"));
    ASSERT_EQ(v.teated.messages.size(), 1u);
    EXPECT_EQ(v.teated.messages[0].title, "Viga");
    EXPECT_TRUE(v.teated.messages[0].text.contains("more than 10 elements"));
    // The document read before stays.
    EXPECT_EQ(v.tb.m_arrLOIK[0]->m_arrELEMENT.size(), 9u);
}
