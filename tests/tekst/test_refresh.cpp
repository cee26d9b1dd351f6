#include "tekst/Tekstiboks.h"

#include <QScrollArea>
#include <QScrollBar>
#include <cmath>
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
    EXPECT_EQ(v.tb.size(), QSize(300, 8 + 20 * 53));
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
    EXPECT_EQ(v.tb.size(), QSize(int(std::ceil(8 + v.tb.m_fMaksReaLaius)), 200));
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
    QScrollArea ala;
    auto* tb = new Tekstiboks;
    ala.setWidget(tb);
    ala.resize(320, 220);
    ala.show();
    ASSERT_TRUE(tb->AvaFail("VLM1" + ("<1" + pilt(100, 50) + "{N}>").repeated(40)));
    tb->m_nShiftKursor = 2;
    tb->m_nKursor = 4;
    ala.verticalScrollBar()->setValue(900);
    EXPECT_EQ(tb->TooKerimiskoht().y(), 900);
    EXPECT_TRUE(tb->m_nKursor == 4 && tb->m_nShiftKursor == 2);
    // The next caret movement brings it back: its line's top (2 x 53) one margin below the top.
    tb->Varskenda(true, true, false);
    EXPECT_EQ(tb->TooKerimiskoht(), QPointF(0, 106));
}

TEST(Refresh, FocusShowsAndHidesTheCaretButKeepsTheSelection) {
    Vaade v(QSizeF(300, 200), "VLM1" + ("<1" + pilt(10, 10) + "{N}>").repeated(3));
    v.tb.m_nShiftKursor = 1;
    v.tb.m_nKursor = 4;
    v.tb.becomeFirstResponder();
    EXPECT_TRUE(v.tb.m_bFookuses);
    v.tb.resignFirstResponder();
    EXPECT_FALSE(v.tb.m_bFookuses);
    EXPECT_EQ(std::pair(v.tb.m_nShiftKursor, v.tb.m_nKursor), std::pair(qint64(1), qint64(4)));
}
