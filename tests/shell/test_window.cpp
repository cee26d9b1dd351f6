#include "AppDelegate.h"
#include "Olekuriba.h"
#include "ViewController.h"
#include "WindowController.h"
#include "platform/openpanel.h"
#include "platform/progress.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>

namespace {

// A paragraph of n words "sõnaK" in DejaVu Sans at 12 points.
QString loik(int nSonad) {
    QString s = QStringLiteral("<1{F DejaVu Sans;12;0;0;0;0;0;0;#000000}");
    for (int i = 0; i < nSonad; ++i)
        s += QStringLiteral("{M s\u00f5na%1}{U}").arg(i);
    return s + QStringLiteral("{N}>");
}

// The application as it starts: the delegate, the window registered with it, shown and active.
struct Rakendus {
    AppDelegate delegaat;
    WindowController aken{&delegaat};
    MessageRecorder teated;
    QTemporaryDir kaust;

    Rakendus() {
        aken.show();
        aken.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&aken));
    }
    ~Rakendus() {
        setOpenPanelHandler({});
        setProgressHandler({});
    }

    Tekstiboks& tb() { return *aken.TooTekstiboks(); }
    QComboBox& suum() { return *aken.m_cSuumiLiit; }
    QString kirjuta(const QString& strNimi, const QString& strSisu) {
        QFile f(kaust.filePath(strNimi));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(strSisu.toUtf8()) > 0);
        return f.fileName();
    }
    QToolButton* nupp(QAction* a) {
        return qobject_cast<QToolButton*>(aken.findChild<QToolBar*>("tooriba")->widgetForAction(a));
    }
};

} // namespace

TEST(Window, StartsWithTheEmptyDocumentAtHundredPercentAndTheCaretInTheView) {
    Rakendus r;
    QStringList arrKirjed;
    for (int i = 0; i < r.suum().count(); ++i)
        arrKirjed << r.suum().itemText(i);
    EXPECT_EQ(arrKirjed, QStringList({"10%", "40%", "80%", "100%", "140%", "180%", "300%", "400%"}));
    EXPECT_EQ(r.suum().currentIndex(), -1);
    EXPECT_EQ(r.suum().currentText(), "100%");
    EXPECT_EQ(r.tb().m_arrLOIK.size(), 1u);
    EXPECT_EQ(r.tb().m_arrRIDA.size(), 1u);
    const Olekuriba& riba = *r.aken.m_cViewController->m_cOlekuriba;
    EXPECT_EQ(std::pair(riba.m_nVeerg, riba.m_nRida), std::pair(qint64(1), qint64(1)));
    EXPECT_TRUE(r.tb().hasFocus());
}

TEST(Window, OpenCommandOpensWhatThePanelChoseAndCancellingChangesNothing) {
    Rakendus r;
    const QString strKiri = r.kirjuta("kiri.vlm", "VLM1" + loik(3));
    std::vector<OpenPanelSettings> arrPaneelid;
    QStringList arrVastus{strKiri};
    setOpenPanelHandler([&](const OpenPanelSettings& s) {
        arrPaneelid.push_back(s);
        return arrVastus;
    });

    r.tb().Suumi(250);
    QTest::keyClick(&r.aken, Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(arrPaneelid.size(), 1u);
    const OpenPanelSettings& s = arrPaneelid[0];
    EXPECT_EQ(s.title, "Ava");
    EXPECT_TRUE(s.nameFilters.size() == 1 && s.nameFilters[0].endsWith("(*.vlm)"));
    EXPECT_TRUE(s.showsResizeIndicator && !s.showsHiddenFiles && !s.canChooseDirectories &&
                s.canCreateDirectories && !s.allowsMultipleSelection);
    EXPECT_EQ(r.aken.windowTitle(), "Velmora - kiri.vlm");
    EXPECT_EQ(r.tb().m_fSuum, 100);
    EXPECT_EQ(r.suum().currentText(), "100%");
    EXPECT_EQ(r.tb().m_arrLOIK.size(), 1u);
    EXPECT_EQ(r.tb().m_arrLOIK[0]->m_arrELEMENT.size(), 7u);

    // Cancelled from the toolbar: the document, zoom and title stay; the panel starts in the folder
    // of the open document.
    r.tb().Suumi(180);
    arrVastus.clear();
    QTest::mouseClick(r.nupp(r.aken.m_cAvaNupp), Qt::LeftButton);
    ASSERT_EQ(arrPaneelid.size(), 2u);
    EXPECT_EQ(arrPaneelid[1].directory, r.kaust.path());
    EXPECT_EQ(r.aken.windowTitle(), "Velmora - kiri.vlm");
    EXPECT_EQ(r.tb().m_fSuum, 180);
    EXPECT_EQ(r.tb().m_arrLOIK[0]->m_arrELEMENT.size(), 7u);
    EXPECT_TRUE(r.teated.messages.empty());
}

TEST(Window, OpeningShowsProgressAndCancellingKeepsTheDocumentAsItWas) {
    Rakendus r;
    const QString strKiri = r.kirjuta("kiri.vlm", "VLM1" + loik(3));
    const QString strSuur = r.kirjuta("suur.vlm", "VLM1" + loik(3000) + loik(3000));
    const QString strTeine = r.kirjuta("teine.vlm", "VLM1" + loik(5));
    r.aken.AvaDokument(strKiri);
    r.tb().Suumi(180);
    QTest::keyClick(&r.tb(), Qt::Key_Right, Qt::ShiftModifier);
    const LOIK* kiri = r.tb().m_arrLOIK[0].get();

    QStringList arrSildid;
    int nVastatud = 0;
    bool bKatkesta = true;
    setProgressHandler([&](const QString& strSilt, double) {
        arrSildid << strSilt;
        // Nothing the window does while the reading reports can start a second reading.
        if (nVastatud++ == 0)
            r.aken.AvaDokument(strTeine);
        return !bKatkesta || nVastatud < 3;
    });
    r.aken.AvaDokument(strSuur);
    EXPECT_EQ(nVastatud, 3);
    EXPECT_EQ(r.tb().m_arrLOIK[0].get(), kiri);
    EXPECT_EQ(r.aken.windowTitle(), "Velmora - kiri.vlm");
    EXPECT_EQ(r.suum().currentText(), "180%");
    EXPECT_EQ(std::pair(r.tb().m_nShiftKursor, r.tb().m_nKursor), std::pair(qint64(0), qint64(1)));
    EXPECT_TRUE(r.teated.messages.empty());

    bKatkesta = false;
    r.aken.AvaDokument(strSuur);
    EXPECT_EQ(r.aken.windowTitle(), "Velmora - suur.vlm");
    EXPECT_EQ(r.tb().m_arrLOIK.size(), 2u);
    EXPECT_EQ(arrSildid.size(), nVastatud);
    EXPECT_EQ(arrSildid.filter("Avan dokumenti\u2026").size(), nVastatud);
}

TEST(Window, ZoomListAppliesTheChosenEntryAndTypedTexts) {
    Rakendus r;
    // Chosen with the mouse from the open list.
    r.suum().showPopup();
    QAbstractItemView* loend = r.suum().view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(loend->window()));
    QTest::mouseClick(loend->viewport(), Qt::LeftButton, {},
                      loend->visualRect(loend->model()->index(4, 0)).center());
    EXPECT_EQ(r.tb().m_fSuum, 140);
    EXPECT_EQ(r.suum().currentText(), "140%");
    EXPECT_TRUE(r.tb().hasFocus());

    const std::pair<const char*, double> read[] = {{"250", 250}, {"250%", 250}, {" 75 %", 75}, {"abc", 0},
                                                   {"%", 0},     {"1", 1},      {"180%", 180}};
    for (const auto& [strTekst, fOodatud] : read) {
        r.tb().Suumi(300);
        r.suum().setFocus();
        r.suum().lineEdit()->selectAll();
        QTest::keyClick(&r.suum(), Qt::Key_Backspace);
        QTest::keyClicks(&r.suum(), strTekst);
        QTest::keyClick(&r.suum(), Qt::Key_Return);
        EXPECT_EQ(r.tb().m_fSuum, fOodatud) << strTekst;
        EXPECT_EQ(r.suum().currentText(), QString::asprintf("%.0f%%", fOodatud)) << strTekst;
        EXPECT_EQ(r.suum().count(), 8) << strTekst;
    }
    // Returning a typed text never selects an entry of the list.
    EXPECT_EQ(r.suum().currentIndex(), 4);

    // Leaving the list without Return applies nothing, be the text typed or the current zoom's.
    for (const char* strTekst : {static_cast<const char*>("250"), static_cast<const char*>(nullptr)}) {
        r.tb().Suumi(140.4);
        r.suum().setFocus();
        if (strTekst)
            QTest::keyClicks(&r.suum(), strTekst);
        r.tb().setFocus();
        EXPECT_EQ(r.tb().m_fSuum, 140.4) << (strTekst ? strTekst : "140%");
        EXPECT_EQ(r.suum().currentIndex(), 4);
    }
}

TEST(Window, ZoomStepsThroughTheListWithKeysAndTheWheel) {
    Rakendus r;
    enum Kuidas { Klahv, Ratas };
    struct Rida {
        const char* nimi;
        double fAlgus;
        Kuidas kuidas;
        int nKlahvVoiDelta;
        double fOodatud;
    };
    const Rida read[] = {
        {"Ctrl+Plus from 100", 100, Klahv, Qt::Key_Plus, 140},
        {"Ctrl+Plus from between entries", 250, Klahv, Qt::Key_Plus, 300},
        {"Ctrl+Plus at the top stays", 400, Klahv, Qt::Key_Plus, 400},
        {"Ctrl+= like Ctrl+Plus", 100, Klahv, Qt::Key_Equal, 140},
        {"Ctrl+Minus from between entries", 250, Klahv, Qt::Key_Minus, 180},
        {"Ctrl+Minus at the bottom stays", 10, Klahv, Qt::Key_Minus, 10},
        {"Ctrl+0", 250, Klahv, Qt::Key_0, 100},
        {"wheel forward", 100, Ratas, 120, 140},
        {"wheel back", 100, Ratas, -120, 80},
        {"half a notch", 100, Ratas, 60, 100},
    };
    QWidget* viewport = r.aken.m_cViewController->m_cKerimisala->viewport();
    for (const Rida& rida : read) {
        r.tb().Suumi(rida.fAlgus);
        if (rida.kuidas == Klahv) {
            QTest::keyClick(&r.tb(), Qt::Key(rida.nKlahvVoiDelta), Qt::ControlModifier);
        } else {
            const QPoint pt = viewport->rect().center();
            QWheelEvent ratas(pt, viewport->mapToGlobal(pt), QPoint(), QPoint(0, rida.nKlahvVoiDelta),
                              Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(&r.tb(), &ratas);
        }
        EXPECT_EQ(r.tb().m_fSuum, rida.fOodatud) << rida.nimi;
    }
}

TEST(Window, DroppingAVlmFileOpensItAndOtherDropsAreRefused) {
    Rakendus r;
    const QString strKiri = r.kirjuta("Lohistatud.VLM", "VLM1" + loik(2));
    const QString strMuu = r.kirjuta("muu.txt", "VLM1" + loik(4));
    struct Rida {
        const char* nimi;
        QList<QUrl> arrUrlid;
        bool bVastu;
    };
    const Rida read[] = {
        {"a text file", {QUrl::fromLocalFile(strMuu)}, false},
        {"a remote document", {QUrl("https://example.org/a.vlm")}, false},
        {"a folder named like a document", {QUrl::fromLocalFile(r.kaust.path() + "/")}, false},
        {"a text file and a document", {QUrl::fromLocalFile(strMuu), QUrl::fromLocalFile(strKiri)}, true},
    };
    for (const Rida& rida : read) {
        QMimeData andmed;
        andmed.setUrls(rida.arrUrlid);
        const QPoint pt = r.aken.rect().center();
        QDragEnterEvent sisse(pt, Qt::CopyAction, &andmed, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&r.aken, &sisse);
        EXPECT_EQ(sisse.isAccepted(), rida.bVastu) << rida.nimi;
        QDropEvent kukub(pt, Qt::CopyAction, &andmed, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&r.aken, &kukub);
        QApplication::processEvents();
        EXPECT_EQ(r.aken.windowTitle(), rida.bVastu ? "Velmora - Lohistatud.VLM" : "Velmora") << rida.nimi;
    }
    EXPECT_EQ(r.tb().m_arrLOIK[0]->m_arrELEMENT.size(), 5u);
}

TEST(Window, VisibleAreaTakesExactlyTheSizeAskedForEvenBelowTheWindowsMinimum) {
    Rakendus r;
    for (const QSize cSuurus : {QSize(1, 1), QSize(50, 30), QSize(640, 1), QSize(3000, 2000)}) {
        r.aken.m_cViewController->SeaNahtavaAla(cSuurus);
        EXPECT_EQ(r.aken.m_cViewController->m_cKerimisala->viewport()->size(), cSuurus);
    }
}

TEST(Window, ResizingRewrapsKeepsTheSelectionAndDoesNotScrollToTheCaret) {
    Rakendus r;
    QString doc = "VLM1";
    for (int i = 0; i < 30; ++i)
        doc += loik(12);
    ASSERT_TRUE(r.tb().AvaFail(doc));
    r.aken.m_cViewController->SeaNahtavaAla(QSize(700, 300));
    QApplication::processEvents();
    // The selection lies far below the visible part, and the view shows the top.
    r.tb().m_nShiftKursor = 600;
    r.tb().m_nKursor = 640;
    r.tb().SeaKerimiskoht(QPointF(0, 0));
    r.tb().Varskenda(false, true, false);
    const size_t nRead = r.tb().m_arrRIDA.size();

    r.aken.m_cViewController->SeaNahtavaAla(QSize(350, 300));
    QApplication::processEvents();
    EXPECT_GT(r.tb().m_arrRIDA.size(), nRead);
    EXPECT_EQ(r.tb().m_nShiftKursor, 600);
    EXPECT_EQ(r.tb().m_nKursor, 640);
    EXPECT_EQ(r.tb().TooKerimiskoht(), QPointF(0, 0));
}

TEST(Window, CopyIsEnabledExactlyWhileSomethingIsSelectedAndCopiesIt) {
    Rakendus r;
    PasteboardRecorder laud;
    QAction& menuu = *r.delegaat.m_cKopeeriMenuu;
    QToolButton& nupp = *r.nupp(r.aken.m_cKopeeriNupp);
    EXPECT_FALSE(menuu.isEnabled() || nupp.isEnabled()) << "at start-up";
    EXPECT_FALSE(nupp.icon().isNull()) << "the bundled icon where the theme has none";

    const QString strDokument = "VLM1" + loik(3);
    struct Rida {
        const char* nimi;
        std::function<void()> samm;
        bool bLubatud;
    };
    const auto klahv = [&](Qt::Key k, Qt::KeyboardModifiers m = {}) {
        return [&r, k, m] { QTest::keyClick(&r.tb(), k, m); };
    };
    const Rida read[] = {
        {"a document opened", [&] { r.tb().AvaFail(strDokument); }, false},
        {"Ctrl+A", klahv(Qt::Key_A, Qt::ControlModifier), true},
        {"a zoom keeps the selection", klahv(Qt::Key_Plus, Qt::ControlModifier), true},
        {"Escape", klahv(Qt::Key_Escape), false},
        {"Shift+Left", klahv(Qt::Key_Left, Qt::ShiftModifier), true},
        {"another document opened", [&] { r.tb().AvaFail(strDokument); }, false},
    };
    for (const Rida& rida : read) {
        rida.samm();
        EXPECT_EQ(menuu.isEnabled(), rida.bLubatud) << rida.nimi;
        EXPECT_EQ(nupp.isEnabled(), rida.bLubatud) << rida.nimi;
    }

    // Ctrl+C without a selection copies nothing; with one, it and the toolbar button copy it.
    QTest::keyClick(&r.tb(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(laud.writes.empty());
    QTest::keyClick(&r.tb(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&r.tb(), Qt::Key_C, Qt::ControlModifier);
    QTest::mouseClick(&nupp, Qt::LeftButton);
    ASSERT_EQ(laud.writes.size(), 2u);
    for (const PasteboardItems& kirjed : laud.writes)
        EXPECT_EQ(plainTextOf(kirjed), "s\u00f5na0 s\u00f5na1 s\u00f5na2 ");
}

TEST(Window, ReturnInTheSearchFieldSelectsTheNextMatchOrSaysNothingWasFound) {
    Rakendus r;
    ASSERT_TRUE(r.tb().AvaFail("VLM1" + loik(3)));
    QLineEdit& otsing = *r.aken.m_cViewController->m_cOtsingBoks;
    struct Rida {
        const char* strTekst;
        std::pair<qint64, qint64> valik;
        bool bTeade;
    };
    // The elements: s\u00f5na0, space, s\u00f5na1, space, s\u00f5na2, space, paragraph end.
    const Rida read[] = {
        {"S\u00d5NA1", {2, 3}, false}, {"na", {4, 5}, false}, {"na", {0, 1}, false},
        {"puudub", {0, 1}, true},      {"", {0, 1}, true},    {"a1 s", {2, 5}, false},
    };
    for (const Rida& rida : read) {
        r.teated.messages.clear();
        QTest::keyClick(&r.tb(), Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(&otsing, rida.strTekst);
        if (!*rida.strTekst)
            QTest::keyClick(&otsing, Qt::Key_Backspace);
        QTest::keyClick(&otsing, Qt::Key_Return);
        EXPECT_EQ(std::pair(r.tb().m_nShiftKursor, r.tb().m_nKursor), rida.valik) << rida.strTekst;
        EXPECT_TRUE(r.delegaat.m_cKopeeriMenuu->isEnabled()) << rida.strTekst;
        ASSERT_EQ(r.teated.messages.size(), rida.bTeade ? 1u : 0u) << rida.strTekst;
        if (rida.bTeade) {
            EXPECT_EQ(r.teated.messages[0].title, "Otsi");
            EXPECT_EQ(r.teated.messages[0].text, "Midagi ei leidnud!");
        }
    }
}

TEST(Window, CtrlFPutsTheKeyboardIntoTheSearchFieldWithItsTextSelected) {
    Rakendus r;
    QLineEdit& otsing = *r.aken.m_cViewController->m_cOtsingBoks;
    otsing.setText("vana otsing");
    QTest::keyClick(&r.tb(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(otsing.hasFocus());
    EXPECT_EQ(otsing.selectedText(), "vana otsing");
    // Typing replaces the old text; the editing keys stay the field's own.
    QTest::keyClicks(&otsing, "uus");
    EXPECT_EQ(otsing.text(), "uus");
    QTest::keyClick(&otsing, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(otsing.selectedText(), "uus");
    EXPECT_FALSE(r.tb().OnKopeeri());
}

TEST(Window, OpenWindowCommandBringsTheClosedWindowBack) {
    Rakendus r;
    QApplication::setQuitOnLastWindowClosed(false);
    r.aken.close();
    ASSERT_FALSE(r.aken.isVisible());
    r.delegaat.m_cAvaAkenMenuu->trigger();
    EXPECT_TRUE(r.aken.isVisible());
    QApplication::setQuitOnLastWindowClosed(true);
}

// Closing the only window ends the program's event loop; so does the quit command.
TEST(Window, ClosingTheWindowOrQuittingEndsTheProgram) {
    for (const bool bSulge : {true, false}) {
        Rakendus r;
        bool bAegunud = false;
        QTimer::singleShot(0, &r.aken, [&] {
            if (bSulge)
                r.aken.close();
            else
                QTest::keyClick(&r.aken, Qt::Key_Q, Qt::ControlModifier);
        });
        QTimer::singleShot(5000, [&] {
            bAegunud = true;
            QApplication::exit(1);
        });
        EXPECT_EQ(QApplication::exec(), 0);
        EXPECT_FALSE(bAegunud) << (bSulge ? "close" : "Ctrl+Q");
    }
}
