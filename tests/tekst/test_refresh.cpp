#include "ViewController.h"
#include "tekst/Tekstiboks.h"
#include "testsupport.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Pictures whose payload does not decode keep their stored size: exact boxes without fonts.
QString pilt(int w, int h) {
    return QStringLiteral("{P @;%1;%2;}").arg(w).arg(h);
}

struct Vaade {
    Vaade(QSizeF cNahtav, const QString& doc) {
        tb.SeaNahtavaAlaSuurus(cNahtav);
        EXPECT_TRUE(tb.AvaFail(doc));
    }
    Tekstiboks tb;
};

} // namespace

TEST(Refresh, CaretScrollingAnchorAndStatus) {
    // One 50-high line a paragraph: line k's top is at 53 k below the top margin.
    Vaade v(QSizeF(300, 200), "VLM1" + ("<1" + pilt(100, 50) + "{N}>").repeated(20));
    // The view is as large as what it shows, never smaller than the visible area; the gap follows
    // every line, the last one included.
    EXPECT_EQ(v.tb.TooUlatus(), QSizeF(300, 8 + 20 * 53));
    const std::vector<std::tuple<const char*, qint64, bool, bool, bool, double, qint64>> sammud = {
        // Line 10 ends at 530 + 50; the visible height less both margins is 192.
        {"down: the line's bottom one margin above the visible bottom", 20, true, false, false, 580 - 192,
         20},
        {"up: the line's top one margin below the visible top; the anchor stays", 2, true, true, false, 53,
         1},
        {"already inside: no scrolling; the anchor stays", 4, true, false, true, 53, 1},
        {"the paragraph end of the same line: no scrolling", 5, true, false, false, 53, 5},
        {"out of sight without bKuvaKursor: no scrolling", 38, false, false, false, 53, 38},
    };
    for (const auto& [nimi, nKursor, bKuva, bBlokeeri, bShiftAll, fY, nAnkur] : sammud) {
        v.tb.m_nShiftKursor = 1;
        v.tb.m_nKursor = nKursor;
        v.tb.Varskenda(bKuva, bBlokeeri, bShiftAll);
        EXPECT_EQ(v.tb.TooKerimiskoht(), QPointF(0, fY)) << nimi;
        EXPECT_EQ(v.tb.m_nShiftKursor, nAnkur) << nimi;
        EXPECT_EQ(v.tb.m_nOlekRida, nKursor / 2 + 1) << nimi;
    }
}

TEST(Refresh, WideElementShowsItsRightEdgeAndStatusFollowsReWrapping) {
    Vaade v(QSizeF(300, 200), "VLM1<1" + pilt(50, 20) + pilt(1000, 20) + "{N}>");
    EXPECT_GE(v.tb.m_fMaksReaLaius, 1000.0);
    EXPECT_EQ(v.tb.TooUlatus(), QSizeF(std::ceil(8 + v.tb.m_fMaksReaLaius), 200));
    // The wide picture does not fit after the narrow one and starts the second line at x = 0. From
    // where the narrow one is hidden, wholly or in part, the view scrolls back to its left edge.
    const std::tuple<double, qint64, double> sammud[] = {{30, 0, 0}, {0, 1, 708}, {708, 0, 0}, {0, 1, 708}};
    for (const auto& [fAlgus, nKursor, fX] : sammud) {
        v.tb.SeaKerimiskoht(QPointF(fAlgus, 0));
        v.tb.m_nKursor = nKursor;
        v.tb.Varskenda(true, false, false);
        EXPECT_EQ(v.tb.TooKerimiskoht(), QPointF(fX, 0)) << fAlgus << " " << nKursor;
    }
    EXPECT_EQ(QPoint(v.tb.m_nOlekVeerg, v.tb.m_nOlekRida), QPoint(1, 2));
    // Wide enough for both: the same position is now column 2 of row 1.
    v.tb.SeaNahtavaAlaSuurus(QSizeF(1200, 200));
    v.tb.ReastaElemendid();
    v.tb.Varskenda(false, true, false);
    EXPECT_EQ(QPoint(v.tb.m_nOlekVeerg, v.tb.m_nOlekRida), QPoint(2, 1));
    EXPECT_EQ(v.tb.m_nKursor, 1);
}

TEST(Refresh, UserScrollingNeverMovesTheCaret) {
    ShownDocument d("VLM1" + ("<1" + pilt(100, 50) + "{N}>").repeated(40), QSize(400, 300));
    Tekstiboks& t = d.view;
    QWidget& viewport = *d.window->m_cKerimisala->viewport();
    EXPECT_EQ(t.size(), viewport.size());
    t.m_nShiftKursor = 2;
    t.m_nKursor = 4;
    t.Varskenda(false, true, false);
    QScrollBar& riba = *d.window->m_cKerimisala->verticalScrollBar();
    QSignalSpy varskendused(d.window.get(), &ViewController::varskendatud);
    const std::tuple<const char*, std::function<void()>, double> read[] = {
        {"dragging the bar", [&] { riba.setValue(900); }, 900},
        {"a notch of the wheel: three steps of 20",
         [&] {
             QWheelEvent ratas(QPointF(50, 50), viewport.mapToGlobal(QPointF(50, 50)), QPoint(),
                               QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
             QApplication::sendEvent(&viewport, &ratas);
         },
         960},
        {"Page Down on the bar: the visible height", [&] { QTest::keyClick(&riba, Qt::Key_PageDown); }, 1260},
    };
    for (const auto& [nimi, keri, fY] : read) {
        varskendused.clear();
        keri();
        EXPECT_EQ(t.TooKerimiskoht(), QPointF(0, fY)) << nimi;
        EXPECT_EQ(varskendused.count(), 1) << nimi;
        EXPECT_TRUE(t.m_nKursor == 4 && t.m_nShiftKursor == 2) << nimi;
        EXPECT_EQ(t.m_nOlekRida, 3) << nimi;
    }
    // The next caret movement brings it back: its line's top (2 x 53) one margin below the top.
    t.Varskenda(true, true, false);
    EXPECT_EQ(t.TooKerimiskoht(), QPointF(0, 106));
    EXPECT_EQ(riba.value(), 106);
    // The view keeps filling the visible area.
    d.window->SeaNahtavaAla(QSize(250, 200));
    EXPECT_EQ(t.size(), QSize(250, 200));
}

// A widget cannot be taller than 16,777,215 pixels, and a scroll bar counts no further than an int:
// the view scrolls by the document's own coordinates, so that the last line is reached by the keys,
// by the scroll bar and by the mouse however tall the document is.
TEST(Refresh, TheEndOfADocumentTallerThanAnyWidgetIsReachable) {
    MessageRecorder teated;
    for (const int nLoike : {200, 25000}) {
        ShownDocument d("VLM1" + ("<1" + pilt(10, 100000) + "{N}>").repeated(nLoike), QSize(400, 300));
        Tekstiboks& t = d.view;
        QScrollBar& riba = *d.window->m_cKerimisala->verticalScrollBar();
        const double fMaks = t.TooUlatus().height() - 300;
        EXPECT_GT(fMaks, nLoike * 100000.0) << nLoike;
        EXPECT_LE(riba.maximum(), 1 << 30) << nLoike;
        const qint64 nPilt = 2 * qint64(nLoike) - 2;

        // Ctrl+End: the end of the text, its line's bottom one margin above the visible bottom.
        QTest::keyClick(&t, Qt::Key_End, Qt::ControlModifier);
        EXPECT_EQ(t.m_nKursor, nPilt + 1) << nLoike;
        EXPECT_EQ(t.TooKerimiskoht().y(), std::ceil(d.box(nPilt).bottom() + 4 - 300)) << nLoike;
        EXPECT_EQ(QPoint(t.m_nOlekVeerg, t.m_nOlekRida), QPoint(2, nLoike)) << nLoike;

        // A click on the visible part of the last picture puts the caret before it; Shift+Right
        // selects it.
        const QRectF rPilt = d.box(nPilt).intersected(t.TooNahtavRist());
        ASSERT_FALSE(rPilt.isEmpty()) << nLoike;
        QTest::mouseClick(&t, Qt::LeftButton, {}, t.TooVidinaPunkt(rPilt.center()).toPoint());
        EXPECT_EQ(t.m_nKursor, nPilt) << nLoike;
        QTest::keyClick(&t, Qt::Key_Right, Qt::ShiftModifier);

        // The bar's keys: Home shows the start, End exactly the document's end.
        QTest::keyClick(&riba, Qt::Key_Home);
        EXPECT_EQ(t.TooKerimiskoht().y(), 0) << nLoike;
        riba.setValue(riba.maximum() / 2);
        EXPECT_NEAR(t.TooKerimiskoht().y(), fMaks / 2, fMaks / riba.maximum()) << nLoike;
        QTest::keyClick(&riba, Qt::Key_End);
        EXPECT_EQ(t.TooKerimiskoht().y(), fMaks) << nLoike;
        EXPECT_EQ(t.TooNahtavRist().bottom(), t.TooUlatus().height()) << nLoike;
        EXPECT_EQ(std::pair(t.m_nShiftKursor, t.m_nKursor), std::pair(nPilt, nPilt + 1)) << nLoike;

        // What is drawn there: the selected picture, covered in light blue down to its bottom, and
        // the page below it white.
        const QImage pilt = t.grab().toImage();
        const QPointF ptAll = t.TooVidinaPunkt(d.box(nPilt).bottomLeft());
        const QColor clPilt = pilt.pixelColor(int(ptAll.x()) + 5, int(ptAll.y()) - 2);
        EXPECT_TRUE(std::abs(clPilt.red() - 166) <= 1 && std::abs(clPilt.green() - 217) <= 1 &&
                    clPilt.blue() == 255)
            << nLoike << ": " << clPilt.name().toStdString();
        EXPECT_EQ(pilt.pixelColor(int(ptAll.x()) + 5, int(ptAll.y()) + 2), QColor(Qt::white)) << nLoike;

        // Page Up on the bar goes back by the visible height; a taller visible area keeps the end at
        // its bottom.
        QTest::keyClick(&riba, Qt::Key_PageUp);
        EXPECT_NEAR(t.TooKerimiskoht().y(), fMaks - 300, fMaks / riba.maximum()) << nLoike;
        QTest::keyClick(&riba, Qt::Key_End);
        d.window->SeaNahtavaAla(QSize(400, 500));
        EXPECT_EQ(t.TooKerimiskoht().y(), fMaks - 200) << nLoike;
    }
}
