// What the window does besides showing the document, tried as a user would.

#include "AppDelegate.h"
#include "ViewController.h"
#include "WindowController.h"
#include "platform/openpanel.h"
#include "platform/printdialog.h"
#include "testsupport.h"

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
};

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

} // namespace
