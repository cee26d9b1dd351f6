#include "ViewController.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

TEST(ViewController, CaretStaysInViewWhenAZoomBringsTheHorizontalBar) {
    MessageRecorder teated;
    ViewController vc;
    vc.show();
    vc.SeaNahtavaAla(QSize(300, 100));
    QApplication::processEvents();
    Tekstiboks& tb = *vc.m_cTekstiboks;
    QString doc = "VLM1";
    for (int i = 0; i < 30; ++i)
        doc += "<1{F DejaVu Sans;12;0;0;0;0;0;0;#000000}{M abcdefghijklmn}{N}>";
    ASSERT_TRUE(tb.AvaFail(doc));
    tb.m_nKursor = 24;
    tb.Varskenda(true, false, false);
    ASSERT_FALSE(vc.m_cKerimisala->horizontalScrollBar()->isVisible());

    // At 400 % the lines are wider than the view: the horizontal bar appears and takes height
    // from the visible area, which the scroll to the caret must already count with.
    tb.Suumi(400);
    QApplication::processEvents();
    ASSERT_TRUE(vc.m_cKerimisala->horizontalScrollBar()->isVisible());
    const qint64 nRida = *tb.LeiaRida(tb.m_nKursor);
    const double fAlumine = tb.m_cServad.height() + tb.m_arrReaY[size_t(nRida)] +
                            tb.m_arrRIDA[size_t(nRida)].m_fKoguKorgus.value();
    const double fNahtavAlumine = tb.TooKerimiskoht().y() + vc.m_cKerimisala->viewport()->height();
    EXPECT_GE(fNahtavAlumine - fAlumine, tb.m_cServad.height());
}

// The visible area takes any size asked for, also far below what the scroll bars and the status bar
// would make the window's minimum, and whether or not the document needs the horizontal bar.
TEST(ViewController, VisibleAreaTakesAnySize) {
    MessageRecorder teated;
    for (const char* doc : {"VLM1<1{M a}{N}>", "VLM1<1{P @;3000;20;}{N}>"}) {
        ViewController vc;
        vc.show();
        ASSERT_TRUE(vc.m_cTekstiboks->AvaFail(doc));
        for (const QSize cSuurus : {QSize(1, 1), QSize(10, 10), QSize(20, 300)}) {
            vc.SeaNahtavaAla(cSuurus);
            QApplication::processEvents();
            EXPECT_EQ(vc.m_cKerimisala->viewport()->size(), cSuurus) << doc;
            EXPECT_EQ(vc.m_cTekstiboks->TooEmaSuurus(), QSizeF(cSuurus)) << doc;
        }
    }
}

TEST(ViewController, WindowShortcutsFireWhileTheViewHasTheFocus) {
    ShownDocument d("VLM1<1{M a}{M b}{M c}{N}>");
    Tekstiboks& t = d.view;
    QWidget& aken = *d.window;
    // Shortcuts of the window: copy and select all must reach them; a plain navigation key and its
    // Shift and Control forms belong to the view even when a shortcut claims them.
    const std::vector<std::tuple<const char*, QKeySequence, Qt::Key, Qt::KeyboardModifiers, bool>> juhud = {
        {"Control+C", QKeySequence::Copy, Qt::Key_C, Qt::ControlModifier, true},
        {"Control+A", QKeySequence::SelectAll, Qt::Key_A, Qt::ControlModifier, true},
        {"Control+F", QKeySequence::Find, Qt::Key_F, Qt::ControlModifier, true},
        {"Alt+Left", QKeySequence(Qt::AltModifier | Qt::Key_Left), Qt::Key_Left, Qt::AltModifier, true},
        {"Right", QKeySequence(Qt::Key_Right), Qt::Key_Right, {}, false},
        {"Shift+End", QKeySequence(Qt::ShiftModifier | Qt::Key_End), Qt::Key_End, Qt::ShiftModifier, false},
    };
    for (const auto& [nimi, jada, klahv, mod, bAknale] : juhud) {
        QAction tegevus(&aken);
        tegevus.setShortcut(jada);
        aken.addAction(&tegevus);
        QSignalSpy kaivitus(&tegevus, &QAction::triggered);
        t.m_nKursor = t.m_nShiftKursor = 1;
        QTest::keyClick(&t, klahv, mod);
        EXPECT_EQ(kaivitus.count(), bAknale ? 1 : 0) << nimi;
        EXPECT_EQ(t.m_nKursor != 1, !bAknale) << nimi;
        aken.removeAction(&tegevus);
    }
}
