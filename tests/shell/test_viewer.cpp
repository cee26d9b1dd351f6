// What the window does besides showing the document, tried as a user would.

#include "AppDelegate.h"
#include "Olekuriba.h"
#include "ViewController.h"
#include "WindowController.h"
#include "platform/openpanel.h"
#include "platform/printdialog.h"
#include "testsupport.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {

// A paragraph of the words given, in DejaVu Sans at 12 points.
QByteArray loik(const QByteArray& baSonad) {
    QByteArray s = "<1{F DejaVu Sans;12;0;0;0;0;0;0;#000000}";
    for (const QByteArray& sona : baSonad.split(' '))
        s += "{M " + sona + "}{U}";
    return s + "{N}>";
}

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
        setPrintDialogHandler({});
        setSavePanelHandler({});
    }

    Tekstiboks& tb() { return *aken.TooTekstiboks(); }
    ViewController& vc() { return *aken.m_cViewController; }
    QString kirjuta(const QString& strNimi, const QByteArray& baSisu) {
        QFile f(kaust.filePath(strNimi));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(baSisu) == baSisu.size());
        return f.fileName();
    }
    // The words of the shown document.
    QString sonad() {
        QStringList arr;
        for (const auto& l : tb().m_arrLOIK)
            for (const auto& e : l->m_arrELEMENT)
                if (e->m_TUUP == ELTUUP::MARK)
                    arr << static_cast<const ELMARK&>(*e).m_strTekst;
        return arr.join(' ');
    }
};

// Writes in place, renames over, and writes that make the file unreadable: the shown document
// follows the file, keeps the zoom, and a failure is said once in the status bar, never in a box.
TEST(Viewer, ReloadsWhenTheFileChangesOnDisk) {
    Rakendus r;
    const QString strFail = r.kirjuta("kiri.vlm", "VLM1" + loik("yks"));
    r.aken.AvaDokument(strFail);
    r.tb().Suumi(180);
    const Olekuriba& riba = *r.vc().m_cOlekuriba;
    // Another program keeps the first file open, so that a file renamed over it does not end the
    // watch on it: the watch must move to the new file by itself.
    QFile vana(strFail);
    ASSERT_TRUE(vana.open(QIODevice::ReadOnly));
    enum Kuidas { Kohapeal, Umbernimetades, Kustutades };
    struct Rida {
        const char* nimi;
        Kuidas kuidas;
        QByteArray sisu;
        const char* strSonad;
        const char* strTeade;
    };
    const Rida read[] = {
        {"written in place", Kohapeal, "VLM1" + loik("kaks sõna"), "kaks sõna", ""},
        {"renamed over", Umbernimetades, "VLM1" + loik("kolm uut sõna"), "kolm uut sõna", ""},
        {"then in place again: the new file is watched", Kohapeal, "VLM1" + loik("neli"), "neli", ""},
        {"not VLM1", Kohapeal, "VLM2", "neli", "Faili formaat ei sobi!"},
        {"still not, saved again", Kohapeal, "VLM3 ja veel", "neli", "Faili formaat ei sobi!"},
        {"removed", Kustutades, {}, "neli", "there is no such file"},
        {"made again", Umbernimetades, "VLM1" + loik("viis"), "viis", ""},
    };
    for (const Rida& rida : read) {
        if (rida.kuidas == Kustutades) {
            QFile::remove(strFail);
        } else if (rida.kuidas == Umbernimetades) {
            QFile::remove(r.kaust.filePath("uus.tmp"));
            r.kirjuta("uus.tmp", rida.sisu);
            ASSERT_EQ(std::rename(QFile::encodeName(r.kaust.filePath("uus.tmp")).constData(),
                                  QFile::encodeName(strFail).constData()),
                      0);
        } else {
            r.kirjuta("kiri.vlm", rida.sisu);
        }
        const QString strTeade =
            *rida.strTeade ? QStringLiteral("Fail muutus, kuid seda ei saanud uuesti lugeda: ") : QString();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return r.sonad() == rida.strSonad && riba.m_strTeade.startsWith(strTeade) &&
                       riba.m_strTeade.contains(rida.strTeade) &&
                       riba.m_strTeade.isEmpty() == strTeade.isEmpty();
            },
            5000))
            << rida.nimi << ": " << qPrintable(r.sonad()) << " / " << qPrintable(riba.m_strTeade);
        EXPECT_EQ(r.tb().m_fSuum, 180) << rida.nimi;
    }
    EXPECT_TRUE(r.teated.messages.empty());

    // F5 reads the file at once, without waiting for the watch, and says so when it cannot.
    r.kirjuta("kiri.vlm", "VLM1" + loik("kuus"));
    QTest::keyClick(&r.tb(), Qt::Key_F5);
    EXPECT_EQ(r.sonad(), "kuus");
    QFile::remove(strFail);
    QTest::keyClick(&r.tb(), Qt::Key_F5);
    EXPECT_TRUE(riba.m_strTeade.startsWith("Faili ei saanud uuesti lugeda: ")) << qPrintable(riba.m_strTeade);
    // Another document takes the message away.
    r.aken.AvaDokument(r.kirjuta("teine.vlm", "VLM1" + loik("teine")));
    EXPECT_TRUE(riba.m_strTeade.isEmpty());
}

// The last ten documents read, the latest first; one that is gone is dropped when chosen, and the
// opening says why.
TEST(Viewer, RecentDocumentsKeepTheLastTenLatestFirst) {
    Rakendus r;
    WindowController::UnustaKoik();
    QStringList arrFailid;
    for (int i = 0; i < 12; ++i)
        arrFailid << r.kirjuta(QStringLiteral("d%1.vlm").arg(i), "VLM1" + loik("sõna"));
    for (const QString& strFail : arrFailid)
        r.aken.AvaDokument(strFail);
    r.aken.AvaDokument(arrFailid[5]);
    r.aken.AvaDokument(r.kirjuta("muu.txt", "tekst"));
    r.teated.messages.clear();
    const QStringList arrOodatud = {arrFailid[5], arrFailid[11], arrFailid[10], arrFailid[9], arrFailid[8],
                                    arrFailid[7], arrFailid[6],  arrFailid[4],  arrFailid[3], arrFailid[2]};
    EXPECT_EQ(WindowController::TooViimatiAvatud(), arrOodatud);

    QMenu& menuu = *r.delegaat.m_cViimatiMenuu;
    r.delegaat.TaidaViimatiMenuu();
    QList<QAction*> arrMenuud = menuu.actions();
    ASSERT_EQ(arrMenuud.size(), 12); // ten documents, a separator and clearing
    EXPECT_TRUE(arrMenuud[1]->text().startsWith("&2 d11.vlm")) << qPrintable(arrMenuud[1]->text());

    QFile::remove(arrFailid[3]);
    arrMenuud[8]->trigger();
    ASSERT_EQ(r.teated.messages.size(), 1u);
    EXPECT_TRUE(r.teated.messages[0].text.contains("no such file"));
    EXPECT_FALSE(WindowController::TooViimatiAvatud().contains(arrFailid[3]));
    arrMenuud[9]->trigger();
    EXPECT_EQ(r.aken.windowTitle(), "Velmora - d2.vlm");
    EXPECT_EQ(WindowController::TooViimatiAvatud().first(), arrFailid[2]);
}

// A window that remembers its place gets it back in the next run; others leave it alone.
TEST(Viewer, WindowPlaceIsRememberedBetweenRuns) {
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "Velmora", "Velmora").remove("aken");
    {
        WindowController aken;
        aken.MaletaAsendit();
        aken.show();
        aken.setGeometry(130, 90, 640, 480);
        aken.close();
    }
    {
        WindowController aken;
        aken.show();
        aken.resize(300, 300);
        aken.close();
    }
    WindowController aken;
    aken.MaletaAsendit();
    EXPECT_EQ(aken.geometry(), QRect(130, 90, 640, 480));
}

// Print goes through the print dialog and export through the save panel; cancelling either writes
// nothing, and a file that cannot be written is said in a message.
TEST(Viewer, PrintAndExportGoThroughTheirDialogs) {
    Rakendus r;
    r.aken.AvaDokument(r.kirjuta("kiri.vlm", "VLM1" + loik("Tere trükitud maailm")));
    const QString strPrinditud = r.kaust.filePath("prinditud.pdf");
    bool bPrindi = false;
    setPrintDialogHandler([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(strPrinditud);
        return bPrindi;
    });
    QTest::keyClick(&r.tb(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_FALSE(QFile::exists(strPrinditud));
    bPrindi = true;
    QTest::keyClick(&r.tb(), Qt::Key_P, Qt::ControlModifier);
    QProcess p;
    p.start("pdftotext", {strPrinditud, "-"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()).simplified(), "Tere trükitud maailm");

    std::vector<SavePanelSettings> arrPaneelid;
    QString strVastus;
    setSavePanelHandler([&](const SavePanelSettings& s) {
        arrPaneelid.push_back(s);
        return strVastus;
    });
    r.delegaat.m_cEkspordiMenuu->trigger();
    ASSERT_EQ(arrPaneelid.size(), 1u);
    EXPECT_EQ(arrPaneelid[0].directory, r.kaust.path());
    EXPECT_EQ(arrPaneelid[0].fileName, "kiri.pdf");
    EXPECT_EQ(arrPaneelid[0].defaultSuffix, "pdf");
    strVastus = r.kaust.filePath("kiri.pdf");
    r.delegaat.m_cEkspordiMenuu->trigger();
    EXPECT_GT(QFileInfo(strVastus).size(), 0);
    EXPECT_TRUE(r.teated.messages.empty());
    strVastus = r.kaust.filePath("puudub/kiri.pdf");
    r.delegaat.m_cEkspordiMenuu->trigger();
    ASSERT_EQ(r.teated.messages.size(), 1u);
    EXPECT_EQ(r.teated.messages[0].title, "Viga");
}

// F3, Shift+F3 and Shift+Return find the next and the previous occurrence; Return keeps its own
// rule. The count beside the field says which occurrence is selected.
TEST(Viewer, NextAndPreviousWithTheCountBesideTheField) {
    Rakendus r;
    // ab0 _1 ab2 ab3 _4 x5 ¶6: three occurrences of "ab", two of them touching.
    ASSERT_TRUE(r.tb().AvaFail("VLM1<1{M ab}{U}{M ab}{M ab}{U}{M x}{N}>"));
    QLineEdit& otsing = *r.vc().m_cOtsingBoks;
    const QLabel& silt = *r.aken.findChild<QLabel*>("leiuSilt");
    const auto klahv = [](QWidget* w, Qt::Key k, Qt::KeyboardModifiers m = {}) {
        return [=] { QTest::keyClick(w, k, m); };
    };
    struct Rida {
        const char* nimi;
        std::function<void()> samm;
        std::pair<qint64, qint64> valik;
        const char* strSilt;
    };
    const Rida read[] = {
        {"F3 with an empty field goes to the field", klahv(&r.tb(), Qt::Key_F3), {0, 0}, ""},
        {"Return: the occurrence after the caret",
         [&] { QTest::keyClicks(&otsing, "AB"), klahv(&otsing, Qt::Key_Return)(); },
         {2, 3},
         "2 / 3"},
        {"F3: the touching one", klahv(&otsing, Qt::Key_F3), {3, 4}, "3 / 3"},
        {"F3 wraps to the first", klahv(&r.tb(), Qt::Key_F3), {0, 1}, "1 / 3"},
        {"Shift+F3 wraps to the last", klahv(&r.tb(), Qt::Key_F3, Qt::ShiftModifier), {3, 4}, "3 / 3"},
        {"Shift+Return in the field: the one before",
         klahv(&otsing, Qt::Key_Return, Qt::ShiftModifier),
         {2, 3},
         "2 / 3"},
        {"a selection that is none of them",
         klahv(&r.tb(), Qt::Key_Right, Qt::ShiftModifier),
         {2, 4},
         "\u2013 / 3"},
        {"another text has no count yet", klahv(&otsing, Qt::Key_X), {2, 4}, ""},
        {"a text not in the document", klahv(&otsing, Qt::Key_Return), {2, 4}, "0 / 0"},
    };
    for (const Rida& rida : read) {
        rida.samm();
        EXPECT_EQ(std::pair(r.tb().m_nShiftKursor, r.tb().m_nKursor), rida.valik) << rida.nimi;
        EXPECT_EQ(silt.text(), rida.strSilt) << rida.nimi;
    }
    ASSERT_EQ(r.teated.messages.size(), 1u);
    EXPECT_EQ(r.teated.messages[0].text, "Midagi ei leidnud!");
}

// A screen reader names every control of the toolbar, by its own name or by its label.
TEST(Viewer, ToolbarControlsHaveAccessibleNames) {
    Rakendus r;
    auto* tooriba = r.aken.findChild<QToolBar*>("tooriba");
    const std::tuple<QObject*, QAccessible::Text, const char*> read[] = {
        {tooriba->widgetForAction(r.aken.m_cAvaNupp), QAccessible::Name, "Ava dokument"},
        {tooriba->widgetForAction(r.aken.m_cKopeeriNupp), QAccessible::Name, "Kopeeri valik"},
        {r.aken.m_cSuumiLiit, QAccessible::Name, "100%"},
        {r.vc().m_cOtsingBoks, QAccessible::Name, "Otsi dokumendist"},
        {&r.tb(), QAccessible::Name, "Dokument"},
    };
    for (const auto& [objekt, tuup, strNimi] : read) {
        QAccessibleInterface* liides = QAccessible::queryAccessibleInterface(objekt);
        ASSERT_TRUE(liides) << strNimi;
        EXPECT_EQ(liides->text(tuup), strNimi);
    }
    // The zoom list's name is its value; its label names it.
    const auto arrSildid =
        QAccessible::queryAccessibleInterface(r.aken.m_cSuumiLiit)->relations(QAccessible::Label);
    ASSERT_EQ(arrSildid.size(), 1);
    EXPECT_EQ(arrSildid[0].first->text(QAccessible::Name), "Suum:");
}

} // namespace
