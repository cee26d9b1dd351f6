#include "tekst/Tekstiboks.h"
#include "testsupport.h"

#include <QScrollArea>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

// Pictures whose payload does not decode keep their stored size: exact boxes without fonts.
QString pilt(int w, int h) {
    return QStringLiteral("{P @;%1;%2;}").arg(w).arg(h);
}

QString loigud(int nLoike, int w, int h) {
    QString doc = "VLM1";
    for (int i = 0; i < nLoike; ++i)
        doc += "<1" + pilt(w, h) + "{N}>";
    return doc;
}

struct Vaade {
    explicit Vaade(QSizeF cNahtav) { tb.SeaNahtavaAlaSuurus(cNahtav); }
    MessageRecorder teated;
    Tekstiboks tb;
};

} // namespace

TEST(Refresh, ViewIsNeverSmallerThanTheVisibleArea) {
    Vaade v(QSizeF(300, 200));
    ASSERT_TRUE(v.tb.AvaFail(loigud(1, 100, 50)));
    EXPECT_EQ(v.tb.size(), QSize(300, 200));

    // 20 lines of 50 with a gap of 3 after each, the last one included, and both margins.
    ASSERT_TRUE(v.tb.AvaFail(loigud(20, 400, 50)));
    EXPECT_GT(v.tb.m_arrRIDA[0].m_fMaksLaius.value(), 400.0);
    EXPECT_EQ(v.tb.height(), 8 + 20 * 53);
    EXPECT_EQ(v.tb.width(), int(std::ceil(8 + v.tb.m_arrRIDA[0].m_fMaksLaius.value())));
}

TEST(Refresh, CaretIsScrolledOneMarginInsideTheVisibleArea) {
    Vaade v(QSizeF(300, 200));
    ASSERT_TRUE(v.tb.AvaFail(loigud(20, 100, 50)));
    EXPECT_EQ(v.tb.TooKerimiskoht(), QPointF(0, 0));

    struct Samm {
        const char* nimi;
        qint64 nKursor;
        QPointF oodatud;
    };
    const std::vector<Samm> sammud = {
        // Line 10 ends at 530 + 50; the visible height less both margins is 192.
        {"down: the line's bottom one margin above the visible bottom", 20, {0, 580 - 192}},
        {"up: the line's top one margin below the visible top", 2, {0, 53}},
        {"already inside: no scrolling", 4, {0, 53}},
        {"the paragraph end of the same line: no scrolling", 5, {0, 53}},
    };
    for (const auto& s : sammud) {
        v.tb.m_nKursor = s.nKursor;
        v.tb.Varskenda(true, false, false);
        EXPECT_EQ(v.tb.TooKerimiskoht(), s.oodatud) << s.nimi;
        EXPECT_EQ(v.tb.m_nShiftKursor, s.nKursor) << s.nimi;
    }
    // Without bKuvaKursor the position stays even when the caret is out of sight.
    v.tb.m_nKursor = 38;
    v.tb.Varskenda(false, false, false);
    EXPECT_EQ(v.tb.TooKerimiskoht(), QPointF(0, 53));
    EXPECT_EQ(v.tb.m_nOlekRida, 20);
}

TEST(Refresh, ElementWiderThanTheViewAlignsItsRightEdge) {
    Vaade v(QSizeF(300, 200));
    ASSERT_TRUE(v.tb.AvaFail("VLM1<1" + pilt(50, 20) + pilt(1000, 20) + "{N}>"));
    // The wide picture does not fit after the narrow one and starts the second line at x = 0.
    v.tb.m_nKursor = 1;
    v.tb.Varskenda(true, false, false);
    EXPECT_EQ(v.tb.TooKerimiskoht(), QPointF(1000 - 292, 0));
    v.tb.m_nKursor = 0;
    v.tb.Varskenda(true, false, false);
    EXPECT_EQ(v.tb.TooKerimiskoht().x(), 0);
}

TEST(Refresh, StatusFollowsTheDisplayLines) {
    Vaade v(QSizeF(708, 200));
    ASSERT_TRUE(v.tb.AvaFail("VLM1<1" + pilt(100, 20).repeated(6) + "{N}>"));
    EXPECT_EQ(v.tb.m_nOlekVeerg, 1);
    EXPECT_EQ(v.tb.m_nOlekRida, 1);
    v.tb.m_nKursor = 5;
    v.tb.Varskenda(true, false, false);
    EXPECT_EQ(v.tb.m_nOlekVeerg, 6);
    EXPECT_EQ(v.tb.m_nOlekRida, 1);

    // Narrower: three pictures a line; the same position is now column 3 of row 2.
    v.tb.SeaNahtavaAlaSuurus(QSizeF(308, 200));
    v.tb.ReastaElemendid();
    v.tb.Varskenda(false, true, false);
    EXPECT_EQ(v.tb.m_nOlekVeerg, 3);
    EXPECT_EQ(v.tb.m_nOlekRida, 2);
    EXPECT_EQ(v.tb.m_nKursor, 5);
}

TEST(Refresh, FlagsDecideTheAnchor) {
    Vaade v(QSizeF(300, 200));
    ASSERT_TRUE(v.tb.AvaFail(loigud(3, 10, 10)));
    struct Rida {
        bool bBlokeeri, bShiftAll;
        qint64 nAnkur;
    };
    for (const Rida& r : {Rida{false, false, 4}, Rida{true, false, 1}, Rida{false, true, 1}}) {
        v.tb.m_nShiftKursor = 1;
        v.tb.m_nKursor = 4;
        v.tb.Varskenda(false, r.bBlokeeri, r.bShiftAll);
        EXPECT_EQ(v.tb.m_nShiftKursor, r.nAnkur);
    }
}

TEST(Refresh, FocusChangesKeepTheSelection) {
    Vaade v(QSizeF(300, 200));
    ASSERT_TRUE(v.tb.AvaFail(loigud(3, 10, 10)));
    v.tb.m_nShiftKursor = 1;
    v.tb.m_nKursor = 4;
    v.tb.becomeFirstResponder();
    EXPECT_TRUE(v.tb.m_bFookuses);
    v.tb.resignFirstResponder();
    EXPECT_FALSE(v.tb.m_bFookuses);
    EXPECT_EQ(v.tb.m_nShiftKursor, 1);
    EXPECT_EQ(v.tb.m_nKursor, 4);
}

TEST(Refresh, UserScrollingNeverMovesTheCaret) {
    MessageRecorder teated;
    QScrollArea ala;
    auto* tb = new Tekstiboks;
    ala.setWidget(tb);
    ala.resize(320, 220);
    ala.show();
    ASSERT_TRUE(tb->AvaFail(loigud(40, 100, 50)));
    tb->m_nShiftKursor = 2;
    tb->m_nKursor = 4;
    tb->Varskenda(true, true, false);
    EXPECT_EQ(tb->TooKerimiskoht(), QPointF(0, 0));

    ala.verticalScrollBar()->setValue(900);
    EXPECT_EQ(tb->TooKerimiskoht().y(), 900);
    EXPECT_EQ(tb->m_nKursor, 4);
    EXPECT_EQ(tb->m_nShiftKursor, 2);
    // The next caret movement brings it back: its line's top (2 x 53) one margin below the top.
    tb->Varskenda(true, true, false);
    EXPECT_EQ(tb->TooKerimiskoht(), QPointF(0, 106));
}
