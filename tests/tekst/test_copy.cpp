// Copy, select all, the selection clipboard and search.

#include "tekst/Tekstiboks.h"
#include "testsupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A 2 x 2 red PNG shown at 120 x 80: its bitmap stays 2 x 2.
const QString kPilt = "{P iVBORw0KGgoAAAANSUhEUgAAAAIAAAACCAIAAAD91JpzAAAAEElEQVR4nGP4z8AARAwQCgAf7gP9i18U"
                      "1AAAAABJRU5ErkJggg==;120.0;80.0;}";

// Tere0 _1 maailm2 →3 x4 ¶5 | teine6 ¶7 | a8 P9 b10 P11 P12 ¶13 | P14 (no bitmap) c15 ¶16
const QString kDok = "VLM1<1{M Tere}{U}{M maailm}{T}{M x}{N}><1{M teine}{N}><1{M a}" + kPilt + "{M b}" +
                     kPilt + kPilt + "{N}><1{P @;5;5;}{M c}{N}>";

// The items as "text|2x2|text".
QString kirjed(const PasteboardItems& arr) {
    QStringList osad;
    for (const PasteboardItem& k : arr)
        osad << (k.kind == PasteboardItem::Kind::Text
                     ? k.text
                     : QStringLiteral("%1x%2").arg(k.image.width()).arg(k.image.height()));
    return osad.join(u'|');
}

TEST(Copy, ItemsFollowTheSelectionInDocumentOrder) {
    PasteboardRecorder laud;
    Tekstiboks tb;
    tb.SeaNahtavaAlaSuurus(QSizeF(800, 600));
    ASSERT_TRUE(tb.AvaFail(kDok));
    const std::vector<std::tuple<const char*, qint64, qint64, QString>> juhud = {
        {"inside one paragraph: one text", 0, 5, "Tere maailm\tx"},
        {"backwards, the same", 5, 0, "Tere maailm\tx"},
        {"two whole paragraphs: each with its line feed", 0, 8, "Tere maailm\tx\nteine\n"},
        {"text, picture, text", 8, 11, "a|2x2|b"},
        {"a picture alone: no text item", 9, 10, "2x2"},
        {"two adjacent pictures", 11, 13, "2x2|2x2"},
        {"starting with a picture: no empty text before it", 9, 11, "2x2|b"},
        {"a picture without a bitmap is left out", 13, 16, "\nc"},
        {"an empty selection copies the word at the caret", 2, 2, "maailm"},
    };
    for (const auto& [nimi, nAnkur, nKursor, oodatud] : juhud) {
        tb.m_nShiftKursor = nAnkur;
        tb.m_nKursor = nKursor;
        tb.LoikalaudKopeeri();
        ASSERT_FALSE(laud.writes.empty());
        EXPECT_EQ(kirjed(laud.writes.back()), oodatud) << nimi;
        EXPECT_EQ(tb.OnKopeeri(), nAnkur != nKursor) << nimi;
        EXPECT_EQ(std::pair(tb.m_nShiftKursor, tb.m_nKursor), std::pair(nAnkur, nKursor)) << nimi;
    }
    // The pixels are the picture's own.
    EXPECT_EQ(laud.writes[3][1].image.pixelColor(1, 1), QColor(Qt::red));

    // Select all takes everything but the final paragraph end.
    tb.ValiKoik();
    EXPECT_EQ(std::pair(tb.m_nShiftKursor, tb.m_nKursor), std::pair(qint64(0), qint64(16)));
    tb.LoikalaudKopeeri();
    EXPECT_EQ(kirjed(laud.writes.back()), "Tere maailm\tx\nteine\na|2x2|b|2x2|2x2|\nc");

    // In the empty document there is nothing to select.
    Tekstiboks tuhi;
    tuhi.ValiKoik();
    EXPECT_FALSE(tuhi.OnKopeeri());
    tuhi.LoikalaudKopeeri();
    EXPECT_TRUE(laud.writes.back().empty());
}

TEST(Copy, ReachesTheSystemClipboard) {
    QClipboard* laud = QGuiApplication::clipboard();
    Tekstiboks tb;
    tb.SeaNahtavaAlaSuurus(QSizeF(800, 600));
    ASSERT_TRUE(tb.AvaFail("VLM1<1{M a<b}{U}{M &}" + kPilt + "{M c}{N}><1{M d}{N}>"));
    tb.ValiKoik();
    tb.LoikalaudKopeeri();
    ASSERT_TRUE(laud->mimeData());
    EXPECT_EQ(laud->text(), "a<b &c\nd");
    EXPECT_EQ(laud->image().pixelColor(1, 1), QColor(Qt::red));
    EXPECT_TRUE(laud->mimeData()->html().contains("a&lt;b &amp;<img src=\"data:image/png;base64,"));
    // A second copy replaces the first.
    tb.m_nShiftKursor = 6;
    tb.m_nKursor = 7;
    tb.LoikalaudKopeeri();
    EXPECT_EQ(laud->text(), "d");
    EXPECT_FALSE(laud->mimeData()->hasImage());
}

TEST(Copy, SelectionIsOfferedOnceAndItsTextMadeOnlyWhenAsked) {
    PasteboardRecorder laud;
    ShownDocument d(kDok);
    Tekstiboks& t = d.view;
    EXPECT_TRUE(laud.offers.empty());
    QTest::keyClick(&t, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&t, Qt::Key_Right, Qt::ShiftModifier);
    ASSERT_EQ(laud.offers.size(), 2u);
    // Refreshing without a change of the selection offers nothing new.
    t.Varskenda(false, true, false);
    t.clearFocus();
    t.setFocus();
    EXPECT_EQ(laud.offers.size(), 2u);
    // The same range again after it was emptied is offered again.
    QTest::keyClick(&t, Qt::Key_Escape);
    QTest::keyClick(&t, Qt::Key_Home, Qt::ShiftModifier);
    ASSERT_EQ(laud.offers.size(), 3u);
    EXPECT_EQ(laud.offers[1](), "Tere ");
    EXPECT_EQ(laud.offers[2](), "Tere ");
    // Select all offers the whole text, made only now; another document has none of it.
    t.ValiKoik();
    ASSERT_EQ(laud.offers.size(), 4u);
    EXPECT_TRUE(laud.offers.back()().startsWith("Tere maailm\tx\nteine\na"));
    ASSERT_TRUE(t.AvaFail("VLM1<1{M muu}{N}>"));
    EXPECT_EQ(laud.offers.back()(), "");
}

struct Otsing {
    const char* nimi;
    QString doc;
    qint64 nKursor;
    QStringList paringud;
    // (anchor, caret) after the last search, or nothing when it found nothing.
    std::optional<std::pair<qint64, qint64>> oodatud;
};

TEST(Search, FindsAfterTheCaretWrapsAroundAndMapsMatchesToElements) {
    const QString kTahed = "VLM1<1{M T}{M e}{M r}{M e}{U}{M t}{M e}{M r}{M e}{N}>";
    const QString kSonad = "VLM1<1{M Tere}{U}{M maailm}{U}{M tere}{N}>";
    using P = std::pair<qint64, qint64>;
    const std::vector<Otsing> juhud = {
        {"lower case finds a capital, not the occurrence at the caret", kTahed, 0, {"tere"}, P(5, 9)},
        {"capitals find lower case", kTahed, 1, {"ERE"}, P(6, 9)},
        {"after the last occurrence the search wraps to the first", kTahed, 9, {"tere"}, P(0, 4)},
        {"a single occurrence is found again while the caret stands after it",
         kTahed,
         9,
         {"tere t", "tere t"},
         P(0, 6)},
        {"touching occurrences: the second is never found after the first",
         "VLM1<1{M a}{M b}{M a}{M b}{N}>",
         4,
         {"ab", "ab"},
         P(0, 2)},
        {"a match across the caret is found by neither part", "VLM1<1{M x}{M a}{M b}{N}>", 2, {"ab"}, {}},
        {"an empty text is never found", kTahed, 0, {""}, {}},
        {"a text not in the document", kTahed, 0, {"terr"}, {}},
        {"a word in a run of words selects its run", kSonad, 0, {"tere"}, P(4, 5)},
        {"part of a run selects the whole run", kSonad, 0, {"ail"}, P(2, 3)},
        {"a space matches a space element", kSonad, 5, {"e m"}, P(0, 3)},
        {"after ß, which is two capitals", "VLM1<1{M ß}{U}{M x}{N}>", 0, {"x"}, P(2, 3)},
        {"ß and ss find each other", "VLM1<1{M Strasse}{U}{M ß}{N}>", 0, {"ß", "ss"}, P(0, 1)},
        {"after a character outside the basic plane",
         "VLM1<1{M \U0001F600}{M \U0001F600}{M y}{N}>",
         0,
         {"y"},
         P(2, 3)},
        {"a match ending in the final paragraph end keeps the caret before it",
         "VLM1<1{M a}{U}{M xyz}{N}>",
         0,
         {"z\u00b6"},
         P(2, 3)},
        {"a paragraph end is found as ¶ only", "VLM1<1{M a}{N}><1{M b}{N}>", 3, {"a\u00b6b"}, P(0, 3)},
        {"precomposed finds decomposed", "VLM1<1{M x}{M cafe\u0301}{N}>", 0, {"caf\u00e9"}, P(1, 2)},
        {"decomposed finds precomposed", "VLM1<1{M x}{M caf\u00e9}{N}>", 0, {"cafe\u0301"}, P(1, 2)},
        {"a letter does not match the same letter with an accent",
         "VLM1<1{M x}{M caf\u00e9}{N}>",
         0,
         {"cafe"},
         {}},
    };
    for (const Otsing& j : juhud) {
        MessageRecorder teated;
        Tekstiboks tb;
        tb.SeaNahtavaAlaSuurus(QSizeF(800, 600));
        ASSERT_TRUE(tb.AvaFail(j.doc)) << j.nimi;
        tb.m_nKursor = tb.m_nShiftKursor = j.nKursor;
        for (const QString& q : j.paringud)
            tb.Otsi(q);
        if (j.oodatud) {
            EXPECT_TRUE(teated.messages.empty()) << j.nimi;
            EXPECT_EQ(std::pair(tb.m_nShiftKursor, tb.m_nKursor), *j.oodatud) << j.nimi;
        } else {
            ASSERT_EQ(teated.messages.size(), j.paringud.size()) << j.nimi;
            EXPECT_TRUE(teated.messages[0].title == "Otsi" &&
                        teated.messages[0].text == "Midagi ei leidnud!");
            EXPECT_EQ(std::pair(tb.m_nShiftKursor, tb.m_nKursor), std::pair(j.nKursor, j.nKursor)) << j.nimi;
        }
    }
}

// Next and previous walk the counted occurrences: touching ones one after the other, several in one
// run once, ß as two capitals, wrapping around at either end; the count says which one is selected.
TEST(Search, NextAndPreviousWalkTheCountedOccurrences) {
    MessageRecorder teated;
    Tekstiboks tb;
    tb.SeaNahtavaAlaSuurus(QSizeF(800, 600));
    // a0 a1 a2 a3 _4 Straße5 _6 STRASSE7 _8 banana9 ¶10
    ASSERT_TRUE(tb.AvaFail("VLM1<1{M a}{M a}{M a}{M a}{U}{M Straße}{U}{M STRASSE}{U}{M banana}{N}>"));
    enum Kask { Jargmine, Eelmine };
    struct Rida {
        const char* nimi;
        const char* strOtsitav;
        std::pair<qint64, qint64> valikEnne;
        Kask kask;
        std::pair<qint64, qint64> valik;
        qint64 nNumber, nArv;
    };
    const Rida read[] = {
        {"the first at the caret", "aa", {0, 0}, Jargmine, {0, 2}, 1, 2},
        {"a touching one next", "aa", {0, 2}, Jargmine, {2, 4}, 2, 2},
        {"after the last, the first", "aa", {2, 4}, Jargmine, {0, 2}, 1, 2},
        {"before the first, the last", "aa", {0, 0}, Eelmine, {2, 4}, 2, 2},
        {"previous ends at or before the lower end", "aa", {2, 4}, Eelmine, {0, 2}, 1, 2},
        {"one overlapping the caret is not previous", "aa", {3, 3}, Eelmine, {0, 2}, 1, 2},
        {"ß finds SS", "ß", {0, 0}, Jargmine, {5, 6}, 1, 2},
        {"SS finds ß", "ss", {5, 6}, Jargmine, {7, 8}, 2, 2},
        {"occurrences inside one run are one", "an", {0, 0}, Eelmine, {9, 10}, 1, 1},
    };
    for (const Rida& rida : read) {
        tb.m_nShiftKursor = rida.valikEnne.first;
        tb.m_nKursor = rida.valikEnne.second;
        if (rida.kask == Jargmine)
            tb.OtsiJargmine(rida.strOtsitav);
        else
            tb.OtsiEelmine(rida.strOtsitav);
        EXPECT_EQ(std::pair(tb.m_nShiftKursor, tb.m_nKursor), rida.valik) << rida.nimi;
        EXPECT_TRUE(tb.OnLoendatud(rida.strOtsitav)) << rida.nimi;
        EXPECT_EQ(std::pair(tb.TooLeiuNumber(), tb.TooLeidudeArv()), std::pair(rida.nNumber, rida.nArv))
            << rida.nimi;
    }
    EXPECT_TRUE(teated.messages.empty());
    // A selection that is none of them has no number; a new document has no count.
    tb.m_nKursor = 7;
    EXPECT_EQ(tb.TooLeiuNumber(), 0);
    tb.OtsiJargmine("puudub");
    EXPECT_EQ(teated.messages.size(), 1u);
    ASSERT_TRUE(tb.AvaFail("VLM1<1{M banana}{N}>"));
    EXPECT_FALSE(tb.OnLoendatud("an"));
}

TEST(Search, FailureKeepsTheSelection) {
    MessageRecorder teated;
    Tekstiboks tb;
    ASSERT_TRUE(tb.AvaFail("VLM1<1{M abc}{U}{M d}{N}>"));
    tb.m_nShiftKursor = 1;
    tb.m_nKursor = 3;
    tb.Otsi("zzz");
    EXPECT_EQ(std::pair(tb.m_nShiftKursor, tb.m_nKursor), std::pair(qint64(1), qint64(3)));
    EXPECT_EQ(teated.messages.size(), 1u);
}

} // namespace
