#include "tekst/Tekstiboks.h"
#include "testsupport.h"

#include <QImage>
#include <QRandomGenerator>
#include <gtest/gtest.h>

// Fragments of real and broken tokens; random strings of them reach the reader's odd corners:
// unclosed payloads, ">" inside styles, elements before styles, absurd sizes and zooms. None
// holds a "|".
const QStringList kTukid =
    QStringLiteral(
        "<1|<2|<3|<4|<9|<|>|{F |{E |{M |{P |{T}|{N}|{U}|}|;|{|Arial;12;1;0;0;0;0;0;#ff0000}|"
        "Times;1e300;0;1;1;1;1;0;#00ff00}|Nope;-5;0;0;0;0;0;1;#123}|Courier New;0;;;;;;;}|#ffffff}|"
        "#0000ff}|sõna}|ß}|\U0001F600}|a b\nc}|\n|@@;1e308;1e308;}|QUJD;20;20;}|iVBORw0KGgo=;3;4;}|x| ")
        .split(u'|');

TEST(Robustness, RandomTokenSoupKeepsTheModelSound) {
    QRandomGenerator juhus(20261206);
    const double arrSuumid[] = {100, 0, -30, 1e-7, 250, 1e12};
    for (int nKord = 0; nKord < 1000; ++nKord) {
        QString doc = "VLM1";
        for (int i = juhus.bounded(1, 80); i > 0; --i)
            doc += kTukid[juhus.bounded(int(kTukid.size()))];
        SCOPED_TRACE(qPrintable(doc));
        Tekstiboks tb;
        tb.SeaNahtavaAlaSuurus(QSizeF(juhus.bounded(1, 500), juhus.bounded(1, 300)));
        ASSERT_TRUE(tb.AvaFail(doc));
        tb.Suumi(arrSuumid[nKord % 6]);
        tb.m_nKursor = tb.TooMaksKursor() - 1;
        tb.m_bFookuses = true;
        tb.Varskenda(true, true, false);

        // Every paragraph ends with its paragraph end and its elements have a style from the table.
        qint64 nElemente = 0;
        for (const auto& loik : tb.m_arrLOIK) {
            ASSERT_EQ(loik->m_arrELEMENT.back()->m_TUUP, ELTUUP::ENTER);
            for (const auto& e : loik->m_arrELEMENT)
                ASSERT_TRUE(e->m_nKiri >= 0 && e->m_nKiri < qint64(tb.m_arrJooksevKiri.size()));
            nElemente += qint64(loik->m_arrELEMENT.size());
        }
        ASSERT_EQ(tb.TooMaksKursor(), nElemente);
        // Every element stands in exactly one line, in order.
        qint64 nReal = 0;
        for (size_t k = 0; k < tb.m_arrRIDA.size(); ++k) {
            ASSERT_EQ(tb.m_arrReaAlgus[k], nReal);
            nReal += qint64(tb.m_arrRIDA[k].m_arrELEMENT.size());
        }
        ASSERT_EQ(nReal, nElemente);
        // Each code unit of the search text has a source element.
        ASSERT_EQ(qint64(tb.m_arrSisuAlgus.size()), nElemente);
        for (qsizetype i = 0; i < tb.m_strSisu.size(); ++i)
            ASSERT_LE(tb.m_arrSisuAlgus[size_t(tb.TooSisuElement(i))], i);
        // Drawing what is visible must not fail either.
        (void)tb.JoonistaPildiks();
    }
}

// A style or colour text without its "}" runs over every token after it. Read afresh for each token
// these documents would take hours; they must read in time linear in their length.
TEST(Robustness, UnclosedStyleAndColourTextsReadInLinearTime) {
    const qsizetype n = 300000;
    const std::tuple<const char*, QString, Colour> rows[] = {
        {"styles with fields", "VLM1<1" + QString("{F a;").repeated(n) + "1;1}{M x}{N}>", Colour::black()},
        {"colours",
         "VLM1<1{F a}" + QString("{E x").repeated(n) + QString(" ").repeated(n) + "}{E #ff}{M x}{N}>",
         Colour{0, 0, 1, 1}},
    };
    const HangGuard guard(300, "reading unclosed style and colour texts");
    for (const auto& [name, doc, highlight] : rows) {
        Tekstiboks tb;
        ASSERT_TRUE(tb.AvaFail(doc)) << name;
        const ELEMENT& x = *tb.m_arrLOIK[0]->m_arrELEMENT[0];
        KIRI last;
        last.LooSonest(doc.mid(doc.lastIndexOf("{F") + 3).section(u'}', 0, 0));
        EXPECT_TRUE(tb.m_arrJooksevKiri[size_t(x.m_nKiri)].OnSama(last)) << name;
        EXPECT_LE(tb.m_arrJooksevKiri.size(), 50u) << name;
        EXPECT_EQ(x.m_clEsiletost.value_or(Colour::black()), highlight) << name;
    }
}

// A query thousands of characters long over a document of hundreds of thousands of elements that
// nearly match it everywhere: searching afresh from every position would cost their lengths' product.
TEST(Robustness, LongQueriesSearchInOnePass) {
    const HangGuard guard(300, "searching with a long query");
    MessageRecorder teated;
    Tekstiboks tb;
    ASSERT_TRUE(tb.AvaFail("VLM1<1" + QString("{M a}").repeated(300000) + "{M b}{N}>"));
    tb.Otsi(QString(30000, u'a') + "b");
    EXPECT_TRUE(teated.messages.empty());
    EXPECT_EQ(tb.m_nShiftKursor, 300000 - 30000);
    EXPECT_EQ(tb.m_nKursor, 300001);
}

// A run of a letter and hundreds of thousands of combining marks, and a long run of accented
// letters: the search text decomposes them without taking time that grows with their square.
TEST(Robustness, LongRunsOfCombiningMarksReadInLinearTime) {
    const HangGuard guard(120, "reading runs of combining marks");
    const qsizetype n = 200000;
    Tekstiboks tb;
    ASSERT_TRUE(tb.AvaFail("VLM1<1{M a" + QString::fromUtf16(u"\u0301\u0316").repeated(n) + "}{M " +
                           QString::fromUtf16(u"\u00E9x").repeated(n) + "}{N}>"));
    EXPECT_EQ(tb.m_strSisu, "A" + QString(n, QChar(0x0316)) + QString(n, QChar(0x0301)) +
                                QString::fromUtf16(u"E\u0301X").repeated(n) + u'\u00b6');
}
