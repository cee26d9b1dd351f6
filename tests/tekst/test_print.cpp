// Printing: pages broken between lines, and the PDF as poppler reads it back.

#include "tekst/ELENTER.h"
#include "tekst/ELMARK.h"
#include "tekst/Tekstiboks.h"
#include "testsupport.h"

#include <QImage>
#include <QPageLayout>
#include <QPageRanges>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The pages as "first-end", with "@factor" for a scaled one.
std::string lehed(const std::vector<Tekstiboks::LEHT>& arr) {
    std::string s;
    for (const Tekstiboks::LEHT& l : arr) {
        s += (s.empty() ? "" : " ") + std::to_string(l.m_nEsimene) + '-' + std::to_string(l.m_nLopp);
        if (l.m_fSkaala != 1.0)
            s += '@' + QString::number(l.m_fSkaala).toStdString();
    }
    return s;
}

QByteArray valjund(const QString& strProgramm, const QStringList& arrArgumendid) {
    QProcess p;
    p.start(strProgramm, arrArgumendid);
    EXPECT_TRUE(p.waitForFinished(60000)) << qPrintable(strProgramm);
    return p.readAllStandardOutput();
}

// The printable area of the PDF's A4 pages, in points.
QSizeF pdfAla() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 20, 20, 20),
                       QPageLayout::Millimeter)
        .paintRect(QPageLayout::Point)
        .size();
}

QString pilt(int w, int h, double fLaius, double fKorgus) {
    return QStringLiteral("{P %1;%2;%3;}")
        .arg(QString::fromLatin1(imageFile(w, h, 3780).toBase64()))
        .arg(fLaius)
        .arg(fKorgus);
}

// Lines made by hand, one paragraph each: a run of the given width and height, then a paragraph end
// 5 wide, with the default gap of 3 between lines.
TEST(Print, PagesBreakBetweenLinesAndScaleOnlyWhatDoesNotFit) {
    struct Rida {
        const char* nimi;
        std::vector<std::pair<double, double>> arrRead;
        QSizeF cLeht;
        const char* oodatud;
    };
    const Rida read[] = {
        {"two lines fill a page to the point", {{50, 20}, {50, 20}}, {100, 43}, "0-2"},
        {"a little less and the second goes over", {{50, 20}, {50, 20}}, {100, 42.5}, "0-1 1-2"},
        {"a line taller than a page has one of its own, scaled down",
         {{50, 20}, {50, 100}, {50, 20}, {50, 20}},
         {100, 50},
         "0-1 1-2@0.5 2-4"},
        {"so has a wider one", {{50, 20}, {200, 20}, {50, 20}}, {100, 100}, "0-1 1-2@0.5 2-3"},
        {"both: the smaller factor", {{400, 200}}, {100, 100}, "0-1@0.25"},
        {"a paragraph end past the width is not shrunk for", {{100, 20}}, {100, 100}, "0-1"},
        {"no room on the paper", {{50, 20}}, {100, 0}, ""},
    };
    for (const Rida& rida : read) {
        Tekstiboks t;
        t.m_arrRIDA.clear();
        for (const auto& [w, h] : rida.arrRead) {
            auto loik = std::make_shared<LOIK>();
            auto mark = std::make_unique<ELMARK>();
            mark->m_cSuurus = QSizeF(w, h);
            mark->m_ptPos = QPointF(0, 0);
            auto enter = std::make_unique<ELENTER>();
            enter->m_cSuurus = QSizeF(5, h);
            enter->m_ptPos = QPointF(w, 0);
            RIDA r{loik, h, h, 0.0, {mark.get(), enter.get()}, w + 5};
            loik->m_arrELEMENT.push_back(std::move(mark));
            loik->m_arrELEMENT.push_back(std::move(enter));
            t.m_arrRIDA.push_back(std::move(r));
        }
        t.ArvutaGeomeetria();
        EXPECT_EQ(lehed(t.TooLehed(rida.cLeht)), rida.oodatud) << rida.nimi;
    }
}

// Documents of two and of twenty pages, one line per paragraph: every page holds whole lines, in
// order, as many as the layout for the paper puts on it.
TEST(Print, PdfPagesHoldWholeLinesInOrder) {
    QTemporaryDir kaust;
    MessageRecorder teated;
    const auto dokument = [](int nRead) {
        QString s = "VLM1";
        for (int i = 0; i < nRead; ++i)
            s += QStringLiteral("<1{F DejaVu Sans;12;0;0;0;0;0;0;#000000}{M Rida}{U}{M %1}{N}>")
                     .arg(i, 4, 10, QChar('0'));
        return s;
    };
    Tekstiboks tb;
    ASSERT_TRUE(tb.AvaFail(dokument(60)));
    const qint64 nLeheRead = tb.LooPaberiVaade(pdfAla())->TooLehed(pdfAla())[0].m_nLopp;
    ASSERT_GT(nLeheRead, 30);

    for (const auto& [nLehti, nRead] : {std::pair<qint64, qint64>(2, nLeheRead + 5),
                                        std::pair<qint64, qint64>(20, 19 * nLeheRead + nLeheRead / 2)}) {
        ASSERT_TRUE(tb.AvaFail(dokument(int(nRead))));
        // The window's own zoom and width do not matter on paper.
        tb.SeaNahtavaAlaSuurus(QSizeF(150, 100));
        tb.Suumi(300);
        const std::vector<Tekstiboks::LEHT> arrLehed = tb.LooPaberiVaade(pdfAla())->TooLehed(pdfAla());
        ASSERT_EQ(qint64(arrLehed.size()), nLehti);

        const QString strPdf = kaust.filePath(QStringLiteral("%1.pdf").arg(nLehti));
        ASSERT_EQ(tb.EkspordiPdf(strPdf), "");
        EXPECT_TRUE(valjund("pdfinfo", {strPdf})
                        .contains(QStringLiteral("Pages:           %1\n").arg(nLehti).toUtf8()));
        const QList<QByteArray> arrTekstid = valjund("pdftotext", {strPdf, "-"}).split('\f');
        ASSERT_GE(arrTekstid.size(), nLehti);
        for (qint64 i = 0; i < nLehti; ++i) {
            QStringList arrOodatud;
            for (qint64 k = arrLehed[size_t(i)].m_nEsimene; k < arrLehed[size_t(i)].m_nLopp; ++k)
                arrOodatud << QStringLiteral("Rida %1").arg(k, 4, 10, QChar('0'));
            EXPECT_EQ(QString::fromUtf8(arrTekstid[i]).split('\n', Qt::SkipEmptyParts), arrOodatud)
                << nLehti << " pages, page " << i + 1;
        }
    }
    EXPECT_TRUE(teated.messages.empty());

    // The pages a print dialog chose, in their order in the document.
    const QString strValik = kaust.filePath("valik.pdf");
    {
        QPdfWriter kirjutaja(strValik);
        kirjutaja.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                            QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter));
        QPageRanges vahemikud;
        vahemikud.addRange(5, 6);
        vahemikud.addPage(2);
        kirjutaja.setPageRanges(vahemikud);
        ASSERT_EQ(tb.Prindi(kirjutaja), "");
    }
    const QList<QByteArray> arrValitud = valjund("pdftotext", {strValik, "-"}).split('\f');
    ASSERT_GE(arrValitud.size(), 3);
    EXPECT_EQ(arrValitud[0].left(9), QStringLiteral("Rida %1").arg(nLeheRead, 4, 10, QChar('0')).toUtf8());
    EXPECT_EQ(arrValitud[1].left(9),
              QStringLiteral("Rida %1").arg(4 * nLeheRead, 4, 10, QChar('0')).toUtf8());
    EXPECT_EQ(arrValitud[2].left(9),
              QStringLiteral("Rida %1").arg(5 * nLeheRead, 4, 10, QChar('0')).toUtf8());
    EXPECT_TRUE(arrValitud.size() == 3 || arrValitud[3].trimmed().isEmpty());
}

// A highlighted space and a red picture on the first page, a picture taller than a page alone and
// scaled on the second; neither the window's selection and caret nor a white page are printed.
TEST(Print, PdfShowsPicturesAndHighlightsButNoSelectionOrPage) {
    QTemporaryDir kaust;
    Tekstiboks tb;
    ASSERT_TRUE(tb.AvaFail("VLM1<1{F DejaVu Sans;12;0;0;0;0;0;0;#000000}{M a}{E #ffff00}{U}{E #ffffff}{M b}" +
                           pilt(3, 2, 60, 40) + "{N}><1" + pilt(2, 20, 100, 2000) + "{N}>"));
    tb.m_bFookuses = true;
    tb.ValiKoik();
    const QString strPdf = kaust.filePath("pildid.pdf");
    ASSERT_EQ(tb.EkspordiPdf(strPdf), "");
    // The pages as paper shows them, and once more without the paper, so that whatever the PDF
    // paints itself is opaque and the rest transparent.
    valjund("pdftoppm", {"-r", "72", "-png", strPdf, kaust.filePath("leht")});
    valjund("pdftocairo", {"-r", "72", "-png", "-transp", strPdf, kaust.filePath("kile")});
    const QImage leht1(kaust.filePath("leht-1.png"));
    const QImage leht2(kaust.filePath("leht-2.png"));
    const QImage kile1(kaust.filePath("kile-1.png"));
    const QImage kile2(kaust.filePath("kile-2.png"));
    ASSERT_FALSE(leht1.isNull() || leht2.isNull() || kile1.isNull() || kile2.isNull());
    EXPECT_TRUE(QImage(kaust.filePath("leht-3.png")).isNull());

    // At 72 dpi a point is a pixel; the printable area begins 20 mm in.
    const double fServ = 20 / 25.4 * 72;
    const std::unique_ptr<Tekstiboks> paber = tb.LooPaberiVaade(pdfAla());
    const RIDA& rida = paber->m_arrRIDA[0];
    const auto keskel = [&](int k) {
        const ELEMENT& e = *rida.m_arrELEMENT[size_t(k)];
        const double fAlumine = fServ + *rida.m_fKoguKorgus;
        return QPoint(int(fServ + e.m_ptPos->x() + e.laius() / 2), int(fAlumine - e.korgus() / 2));
    };
    const auto lahedal = [](QColor c, QColor oodatud) {
        return std::abs(c.red() - oodatud.red()) < 16 && std::abs(c.green() - oodatud.green()) < 16 &&
               std::abs(c.blue() - oodatud.blue()) < 16;
    };
    EXPECT_TRUE(lahedal(leht1.pixelColor(keskel(1)), QColor(255, 255, 0))) << "the highlighted space";
    EXPECT_TRUE(lahedal(leht1.pixelColor(keskel(3)), Qt::red)) << "the picture";
    const double f = pdfAla().height() / 2000;
    EXPECT_TRUE(lahedal(leht2.pixelColor(int(fServ + 50 * f), int(fServ + 1000 * f)), Qt::red)) << "scaled";
    for (const QPoint pt :
         {QPoint(int(fServ + 100 * f + 3), int(fServ + 1000 * f)), QPoint(int(fServ) + 200, 400)})
        EXPECT_EQ(kile2.pixelColor(pt).alpha(), 0) << "no white page beside the picture";
    EXPECT_EQ(kile1.pixelColor(int(fServ) + 200, 400).alpha(), 0) << "no white page below the text";
    for (const QImage* leht : {&leht1, &leht2})
        for (int y = 0; y < leht->height(); ++y)
            for (int x = 0; x < leht->width(); ++x)
                ASSERT_FALSE(lahedal(leht->pixelColor(x, y), Qt::blue)) << x << "," << y;
}

// A PDF that cannot be written leaves no file and says why.
TEST(Print, PdfThatCannotBeWrittenSaysWhy) {
    QTemporaryDir kaust;
    Tekstiboks tb;
    const QString strViga = tb.EkspordiPdf(kaust.filePath("puudub/x.pdf"));
    EXPECT_TRUE(strViga.startsWith("Faili \u201ex.pdf\u201c ei saanud kirjutada")) << qPrintable(strViga);
    EXPECT_FALSE(QFile::exists(kaust.filePath("puudub/x.pdf")));
}

} // namespace
