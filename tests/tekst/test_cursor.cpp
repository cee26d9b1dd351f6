// The caret and the selection through real mouse and key events on the shown view.

#include "ViewController.h"
#include "tekst/Tekstiboks.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Pictures whose payload does not decode keep their stored size: exact boxes without fonts.
QString pilt(int w, int h) {
    return QStringLiteral("{P @;%1;%2;}").arg(w).arg(h);
}

// In a 400 x 300 view (content 392 wide): line 0 [0 1 2 ¶3] 20 high at y 4; line 1 centred [4 ¶5]
// 30 high at 27; line 2 [6 7 8] 10 high at 60, its pictures at x 4, 104, 204; line 3 [9 10 ¶11] at 73.
const QString kKastid = "VLM1<1" + pilt(40, 20) + pilt(30, 20) + pilt(50, 20) + "{N}><2" + pilt(60, 30) +
                        "{N}><1" + pilt(100, 10).repeated(5) + "{N}>";

std::pair<qint64, qint64> valik(const Tekstiboks& t) {
    return {t.m_nShiftKursor, t.m_nKursor};
}

// With the lines in order the hit test looks only at the line found by its top; it must find what
// the walk over every line finds, at the edges of every box and between them.
TEST(Cursor, HitTestByLineAgreesWithTheWalkOverEveryLine) {
    QFile naidis(QStringLiteral(VELMORA_EXAMPLES "/naidis.vlm"));
    ASSERT_TRUE(naidis.open(QIODevice::ReadOnly));
    for (const QString& doc : {kKastid, QString::fromUtf8(naidis.readAll())}) {
        ShownDocument d(doc);
        Tekstiboks& t = d.view;
        for (const double fSuum : {100.0, 150.0, 35.0}) {
            t.Suumi(fSuum);
            ASSERT_TRUE(t.m_bReadJarjestuses) << fSuum;
            std::vector<double> xs = {-5, 0, 1e6}, ys = {-5, 0, 1e6};
            for (qint64 k = 0; k < t.TooMaksKursor(); ++k) {
                const QRectF b = d.box(k);
                xs.insert(xs.end(), {b.left() - 1, b.left(), b.center().x(), b.right() - 0.25, b.right()});
                ys.insert(ys.end(), {b.top() - 1.5, b.top(), b.center().y(), b.bottom(), b.bottom() + 1});
            }
            int nVigu = 0;
            for (const double y : ys) {
                for (const double x : xs) {
                    const qint64 nRealt = t.TooKursorPunktist(QPointF(x, y));
                    t.m_bReadJarjestuses = false;
                    if (t.TooKursorPunktist(QPointF(x, y)) != nRealt && ++nVigu < 5)
                        ADD_FAILURE() << "zoom " << fSuum << " at " << x << ", " << y;
                    t.m_bReadJarjestuses = true;
                }
            }
        }
        // At zoom 0 the gap vanishes and the lines may touch, below it they overlap: every line is
        // walked then. Left of the text the first line whose band holds the point wins, here line 2.
        t.Suumi(0);
        EXPECT_FALSE(t.m_bReadJarjestuses);
        t.Suumi(-50);
        if (doc == kKastid) {
            EXPECT_EQ(t.TooKursorPunktist(QPointF(-5, 1)), 6);
        }
    }
}

TEST(Cursor, ClickPlacesTheCaretBeforeTheElementHitOrTheNearestOne) {
    ShownDocument d(kKastid);
    Tekstiboks& t = d.view;
    ASSERT_EQ(t.m_arrReaAlgus, (std::vector<qint64>{0, 4, 6, 9}));
    ASSERT_EQ(t.m_arrReaY, (std::vector<double>{0, 23, 56, 69}));
    const std::vector<std::tuple<const char*, QPoint, qint64>> klikid = {
        {"right half of an element: before it", {72, 10}, 1},
        {"left edge of an element: before it", {44, 10}, 1},
        {"right edge of an element: before the next", {74, 10}, 2},
        {"right edge of a line's last element: before that element", {304, 65}, 8},
        {"left margin: the line's first element", {1, 65}, 6},
        {"leading space of a centred line: its first element", {int(d.box(4).left()) - 5, 40}, 4},
        {"right of a line's text: its last element, the paragraph end", {390, 10}, 3},
        {"top margin: the start", {50, 1}, 0},
        {"below the text: the end", {50, 200}, 11},
        {"the gap between two lines: the upper line's last element", {50, 25}, 3},
        {"a line's bottom edge: the last element of the line above", {50, 70}, 5},
        {"the first line's bottom edge: the start", {50, 24}, 0},
    };
    for (const auto& [nimi, pt, nOodatud] : klikid) {
        QTest::mouseClick(&t, Qt::LeftButton, {}, pt);
        EXPECT_EQ(valik(t), std::pair(nOodatud, nOodatud)) << nimi;
    }
}

// "ab cd ef" with one character a run, a picture between two spaces, and a second paragraph.
const QString kSonad =
    "VLM1<1{M a}{M b}{U}{M c}{M d}{U}{M e}{M f}{U}" + pilt(20, 20) + "{U}{M g}{N}><1{M h}{N}>";

// Clicks in turn, each one kind of click on an element's centre with modifiers.
enum Klikk { Uks, Topelt, Parem };
struct Hiir {
    Klikk klikk;
    qint64 k;
    Qt::KeyboardModifiers mod = {};
};

TEST(Cursor, MouseSelects) {
    ShownDocument d(kSonad);
    Tekstiboks& t = d.view;
    const auto S = Qt::ShiftModifier;
    const std::vector<std::tuple<const char*, std::vector<Hiir>, qint64, qint64>> juhud = {
        {"double click on c: c and d, the caret before the next space", {{Topelt, 3}}, 3, 5},
        {"double click on a space: both words and the space", {{Topelt, 2}}, 0, 5},
        {"double click on the last word: not the paragraph end", {{Topelt, 11}}, 11, 12},
        {"double click on a picture between spaces: the picture", {{Topelt, 9}}, 9, 10},
        {"a third click acts as a single click", {{Topelt, 3}, {Uks, 3}}, 3, 3},
        {"Shift-click before the anchor: up to the anchor's element", {{Uks, 6}, {Uks, 3, S}}, 6, 3},
        {"Shift-double-click on a selection: the caret to its upper end", {{Uks, 7}, {Topelt, 3, S}}, 3, 7},
        {"right click inside the selection keeps it", {{Uks, 1}, {Uks, 6, S}, {Parem, 3}}, 1, 6},
        {"right click just after the selection keeps it", {{Parem, 6}}, 1, 6},
        {"right click elsewhere moves the caret", {{Parem, 8}}, 8, 8},
    };
    for (const auto& [nimi, klikid, nAnkur, nKursor] : juhud) {
        for (const Hiir& h : klikid) {
            if (h.klikk == Topelt)
                QTest::mouseDClick(&t, Qt::LeftButton, h.mod, d.centre(h.k));
            else
                QTest::mouseClick(&t, h.klikk == Parem ? Qt::RightButton : Qt::LeftButton, h.mod,
                                  d.centre(h.k));
        }
        EXPECT_EQ(valik(t), std::pair(nAnkur, nKursor)) << nimi;
    }
    // Dragging back past the anchor flips the selection; back to the anchor it is empty, and a move
    // without the button held changes nothing.
    QTest::mousePress(&t, Qt::LeftButton, {}, d.centre(4));
    for (const qint64 k : {7, 1, 4}) {
        QTest::mouseMove(&t, d.centre(k));
        EXPECT_EQ(valik(t), std::pair(qint64(4), k)) << k;
    }
    QTest::mouseRelease(&t, Qt::LeftButton, {}, d.centre(4));
    QTest::mouseMove(&t, d.centre(8));
    EXPECT_EQ(valik(t), std::pair(qint64(4), qint64(4)));
}

// Losing the focus hides the caret but keeps the selection; a click, even a right one, which opens no
// menu, takes the focus back.
TEST(Cursor, FocusComesAndGoesWithTheSelectionKept) {
    ShownDocument d(kSonad);
    d.view.m_nShiftKursor = 1;
    d.view.m_nKursor = 4;
    d.view.clearFocus();
    EXPECT_FALSE(d.view.m_bFookuses);
    EXPECT_EQ(valik(d.view), std::pair(qint64(1), qint64(4)));
    QTest::mouseClick(&d.view, Qt::RightButton, {}, d.centre(3));
    EXPECT_TRUE(d.view.m_bFookuses);
    EXPECT_EQ(valik(d.view), std::pair(qint64(1), qint64(4)));
    EXPECT_EQ(d.view.contextMenuPolicy(), Qt::PreventContextMenu);
}

// Lines: 0 [0 1 2] and 1 [3 4 ¶5] of one wrapped paragraph of 100-wide pictures; 2 [6 7 ¶8], 200
// and 150 wide; 3 [9 ¶10] short; 4 [11 ¶12] centred. Every picture is 10 high.
const QString kRead = "VLM1<1" + pilt(100, 10).repeated(5) + "{N}><1" + pilt(200, 10) + pilt(150, 10) +
                      "{N}><1" + pilt(30, 10) + "{N}><2" + pilt(40, 10) + "{N}>";

struct Klahv {
    Qt::Key key;
    Qt::KeyboardModifiers mod = {};
};

TEST(Cursor, KeysMoveTheCaret) {
    ShownDocument d(kRead);
    Tekstiboks& t = d.view;
    // Something else in the window that could take the focus.
    QLineEdit muu(d.window.get());
    muu.show();
    ASSERT_EQ(t.m_arrReaAlgus, (std::vector<qint64>{0, 3, 6, 9, 11}));
    const auto S = Qt::ShiftModifier;
    const auto C = Qt::ControlModifier;
    const std::vector<std::tuple<const char*, qint64, qint64, std::vector<Klahv>, qint64, qint64>> juhud = {
        {"Left at the start changes nothing, the selection included", 3, 0, {{Qt::Key_Left}}, 3, 0},
        {"Right at the end changes nothing", 3, 12, {{Qt::Key_Right}}, 3, 12},
        {"Left and Right step one element and empty the selection", 4, 1, {{Qt::Key_Right}}, 2, 2},
        {"Shift+Right selects one element", 1, 1, {{Qt::Key_Right, S}}, 1, 2},
        {"then Right empties it one further", 1, 1, {{Qt::Key_Right, S}, {Qt::Key_Right}}, 3, 3},
        {"Right past a paragraph end enters the next paragraph", 5, 5, {{Qt::Key_Right}}, 6, 6},
        {"Home on a wrapped paragraph's second line: that line's start", 4, 4, {{Qt::Key_Home}}, 3, 3},
        {"End on a wrapped line: before its last element", 0, 0, {{Qt::Key_End}}, 2, 2},
        {"End on a paragraph's last line: before the paragraph end", 3, 3, {{Qt::Key_End}}, 5, 5},
        {"Control+End: the end", 7, 7, {{Qt::Key_End, C}}, 12, 12},
        {"Shift+Control+Home selects to the start", 7, 7, {{Qt::Key_Home, S | C}}, 7, 0},
        // Up again starts from where Down went, not from the old column.
        {"Down into a shorter line: its last element", 7, 7, {{Qt::Key_Down}, {Qt::Key_Up}}, 6, 6},
        {"Down into a centred line right of the caret: its first", 9, 9, {{Qt::Key_Down}}, 11, 11},
        {"Up from a centre on the boundary of two elements: the left one", 6, 6, {{Qt::Key_Up}}, 3, 3},
        {"Up on the first line keeps the caret and empties the selection", 4, 1, {{Qt::Key_Up}}, 1, 1},
        {"Shift+Down on the last line keeps the selection", 0, 11, {{Qt::Key_Down, S}}, 0, 11},
        {"Page Down with less than a page below: the last line", 0, 0, {{Qt::Key_PageDown}}, 11, 11},
        {"Shift+Page Up near the top: the first line, selecting", 9, 9, {{Qt::Key_PageUp, S}}, 9, 0},
        {"Escape empties the selection and keeps the caret", 2, 5, {{Qt::Key_Escape}}, 5, 5},
        {"Control+Left acts as Left, Control+Up as Up", 6, 6, {{Qt::Key_Left, C}, {Qt::Key_Up, C}}, 2, 2},
        {"editing keys change nothing",
         2,
         5,
         {{Qt::Key_A}, {Qt::Key_Tab}, {Qt::Key_Return}, {Qt::Key_Delete}, {Qt::Key_Backspace}},
         2,
         5},
    };
    for (const auto& [nimi, nAnkur, nKursor, klahvid, nUusAnkur, nUusKursor] : juhud) {
        t.m_nShiftKursor = nAnkur;
        t.m_nKursor = nKursor;
        for (const Klahv& k : klahvid)
            QTest::keyClick(&t, k.key, k.mod);
        EXPECT_EQ(valik(t), std::pair(nUusAnkur, nUusKursor)) << nimi;
        EXPECT_TRUE(t.hasFocus()) << nimi;
    }
}

TEST(Cursor, PageKeysStepByTheCaretLinesHeight) {
    // 30 lines [picture ¶], 20 high and 23 apart, but line 15 is 200 high and line 20 70. The visible
    // text area is 292 high: 13 steps of 23 from a short line, 2 of 203 from the tall one, and 5 of 73
    // from line 20, the last one taken with exactly a page behind it.
    QString doc = "VLM1";
    for (int i = 0; i < 30; ++i)
        doc += "<1" + pilt(50, i == 15 ? 200 : i == 20 ? 70 : 20) + "{N}>";
    ShownDocument d(doc);
    Tekstiboks& t = d.view;
    const std::vector<std::tuple<const char*, qint64, Qt::Key, qint64>> juhud = {
        {"from a short line, 13 lines down", 0, Qt::Key_PageDown, 26},
        {"from the tall line, 2 lines down", 30, Qt::Key_PageDown, 34},
        {"from the tall line, 2 lines up", 30, Qt::Key_PageUp, 26},
        {"a page that is exactly 4 steps takes a fifth", 40, Qt::Key_PageUp, 30},
        {"near the end: the last line", 52, Qt::Key_PageDown, 58},
    };
    for (const auto& [nimi, nAlgus, klahv, nOodatud] : juhud) {
        t.m_nKursor = t.m_nShiftKursor = nAlgus;
        QTest::keyClick(&t, klahv);
        EXPECT_EQ(valik(t), std::pair(nOodatud, nOodatud)) << nimi;
    }
    // The view scrolls only as far as the caret needs: its line's bottom one margin above the
    // visible bottom edge.
    t.m_nKursor = t.m_nShiftKursor = 0;
    t.Varskenda(true, false, false);
    QTest::keyClick(&t, Qt::Key_PageDown);
    const QRectF b = d.box(26);
    EXPECT_EQ(t.TooKerimiskoht().y(), std::ceil(b.bottom() + t.m_cServad.height() - 300));
}

} // namespace
