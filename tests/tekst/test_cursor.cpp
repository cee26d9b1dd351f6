// The caret and the selection through real mouse events on the shown view.

#include "ViewController.h"
#include "tekst/Tekstiboks.h"
#include "testsupport.h"

#include <QTest>
#include <gtest/gtest.h>

#include <functional>

namespace {

// Pictures whose payload does not decode keep their stored size: exact boxes without fonts.
QString pilt(int w, int h) {
    return QStringLiteral("{P @;%1;%2;}").arg(w).arg(h);
}

// In a 400 x 300 view (content 392 wide): line 0 [0 1 2 ¶3] 20 high at y 4; line 1 centred [4 ¶5]
// 30 high at 27; line 2 [6 7 8] 10 high at 60, its pictures at x 4, 104, 204; line 3 [9 10 ¶11] at 73.
const QString kKastid = "VLM1<1" + pilt(40, 20) + pilt(30, 20) + pilt(50, 20) + "{N}><2" + pilt(60, 30) +
                        "{N}><1" + pilt(100, 10).repeated(5) + "{N}>";

// The hit test as it is defined: pass 1 looks for the box holding the point, pass 2 for a point left
// of a line's first or right of its last element, else takes the last element wholly above.
qint64 kaheKaiguga(const Tekstiboks& t, QPointF p) {
    const double g = t.TooReaVahe();
    auto kaik = [&](auto&& f) {
        qint64 k = 0;
        double fY = 0;
        for (const RIDA& r : t.m_arrRIDA) {
            const double h = r.m_fKoguKorgus.value_or(0);
            for (size_t j = 0; j < r.m_arrELEMENT.size(); ++j, ++k) {
                const ELEMENT& e = *r.m_arrELEMENT[j];
                const double x = t.m_cServad.width() + e.m_ptPos->x();
                const double y = t.m_cServad.height() + fY + e.m_ptPos->y();
                if (f(k, j, r.m_arrELEMENT.size(), x, x + e.laius(), y, y + h))
                    return k;
            }
            fY += h + g;
        }
        return qint64(-1);
    };
    const qint64 nOtse = kaik([&](qint64, size_t, size_t, double l, double r, double t, double b) {
        return l <= p.x() && p.x() < r && t <= p.y() && p.y() < b;
    });
    if (nOtse >= 0)
        return nOtse;
    qint64 nTulemus = 0;
    const qint64 nServ = kaik([&](qint64 k, size_t j, size_t n, double l, double r, double t, double b) {
        if (t <= p.y() && p.y() <= b)
            return (j == 0 && p.x() <= l) || (j == n - 1 && r <= p.x());
        if (b < p.y())
            nTulemus = k;
        return false;
    });
    return nServ >= 0 ? nServ : nTulemus;
}

std::pair<qint64, qint64> valik(const Tekstiboks& t) {
    return {t.m_nShiftKursor, t.m_nKursor};
}

TEST(Cursor, HitTestAgreesWithItsDefinitionAtEveryZoom) {
    QFile naidis(QStringLiteral(VELMORA_EXAMPLES "/naidis.vlm"));
    ASSERT_TRUE(naidis.open(QIODevice::ReadOnly));
    const QString strNaidis = QString::fromUtf8(naidis.readAll());
    for (const QString& doc : {kKastid, strNaidis}) {
        ShownDocument d(doc);
        Tekstiboks& t = d.view;
        // At zoom 0 the gap vanishes and the lines may touch: the hit test walks every line then.
        for (const double fSuum : {100.0, 150.0, 35.0, 0.0, -50.0}) {
            t.Suumi(fSuum);
            EXPECT_EQ(t.m_bReadJarjestuses, fSuum > 0) << fSuum;
            std::vector<double> xs = {-5, 0, 1e6}, ys = {-5, 0, 1e6};
            for (qint64 k = 0; k < t.TooMaksKursor(); ++k) {
                const QRectF b = d.box(k);
                for (const double x : {b.left() - 1, b.left(), b.center().x(), b.right() - 0.25, b.right()})
                    xs.push_back(x);
                for (const double y : {b.top() - 1.5, b.top(), b.center().y(), b.bottom(), b.bottom() + 1})
                    ys.push_back(y);
            }
            std::sort(xs.begin(), xs.end());
            xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
            std::sort(ys.begin(), ys.end());
            ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
            int nVigu = 0;
            for (const double y : ys)
                for (const double x : xs)
                    if (t.TooKursorPunktist(QPointF(x, y)) != kaheKaiguga(t, QPointF(x, y)) && ++nVigu < 5)
                        ADD_FAILURE() << "zoom " << fSuum << " at " << x << ", " << y;
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

TEST(Cursor, MouseSelects) {
    ShownDocument d(kSonad);
    Tekstiboks& t = d.view;
    const auto klikk = [&](qint64 k, Qt::KeyboardModifiers m = {}) {
        QTest::mouseClick(&t, Qt::LeftButton, m, d.centre(k));
    };
    const auto topeltklikk = [&](qint64 k, Qt::KeyboardModifiers m = {}) {
        QTest::mouseDClick(&t, Qt::LeftButton, m, d.centre(k));
    };
    const auto paremklikk = [&](qint64 k) { QTest::mouseClick(&t, Qt::RightButton, {}, d.centre(k)); };
    const std::vector<std::tuple<const char*, std::function<void()>, qint64, qint64>> juhud = {
        {"double click on c: c and d, the caret before the next space", [&] { topeltklikk(3); }, 3, 5},
        {"double click on a space: both words and the space", [&] { topeltklikk(2); }, 0, 5},
        {"double click on the last word: not the paragraph end", [&] { topeltklikk(11); }, 11, 12},
        {"double click on a picture between spaces: the picture", [&] { topeltklikk(9); }, 9, 10},
        {"a third click acts as a single click",
         [&] {
             topeltklikk(3);
             klikk(3);
         },
         3, 3},
        {"Shift-click before the anchor: up to the anchor's element",
         [&] {
             klikk(6);
             klikk(3, Qt::ShiftModifier);
         },
         6, 3},
        {"Shift-double-click on a selection: no word, the caret to its upper end",
         [&] {
             klikk(7);
             topeltklikk(3, Qt::ShiftModifier);
         },
         3, 7},
        {"right click inside the selection keeps it",
         [&] {
             klikk(1);
             klikk(6, Qt::ShiftModifier);
             paremklikk(3);
         },
         1, 6},
        {"right click just after the selection keeps it", [&] { paremklikk(6); }, 1, 6},
        {"right click elsewhere moves the caret", [&] { paremklikk(8); }, 8, 8},
        {"drag back past the anchor flips the selection",
         [&] {
             QTest::mousePress(&t, Qt::LeftButton, {}, d.centre(4));
             QTest::mouseMove(&t, d.centre(7));
             EXPECT_EQ(valik(t), std::pair(qint64(4), qint64(7)));
             QTest::mouseMove(&t, d.centre(1));
         },
         4, 1},
        {"and back to the anchor leaves it empty",
         [&] {
             QTest::mouseMove(&t, d.centre(4));
             QTest::mouseRelease(&t, Qt::LeftButton, {}, d.centre(4));
         },
         4, 4},
        {"a move without the button held changes nothing", [&] { QTest::mouseMove(&t, d.centre(8)); }, 4, 4},
    };
    for (const auto& [nimi, tee, nAnkur, nKursor] : juhud) {
        tee();
        EXPECT_EQ(valik(t), std::pair(nAnkur, nKursor)) << nimi;
    }
}

TEST(Cursor, ClickTakesTheFocusBackAndRightClickOpensNoMenu) {
    ShownDocument d(kSonad);
    d.view.clearFocus();
    ASSERT_FALSE(d.view.m_bFookuses);
    QTest::mouseClick(&d.view, Qt::RightButton, {}, d.centre(3));
    EXPECT_TRUE(d.view.m_bFookuses);
    EXPECT_EQ(d.view.contextMenuPolicy(), Qt::PreventContextMenu);
}

} // namespace
