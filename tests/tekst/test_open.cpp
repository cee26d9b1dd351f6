#include "tekst/ELPILT.h"
#include "tekst/Tekstiboks.h"
#include "testsupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

const QByteArray kDokument = "VLM1<1{F Arial;12;0;0;0;0;0;0;#000000}{M Tere}{U}{M maailm}{N}>";

static QString kirjuta(const QTemporaryDir& dir, const QString& nimi, const QByteArray& sisu) {
    QFile f(dir.filePath(nimi));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(sisu) == sisu.size());
    return f.fileName();
}

TEST(Open, ValidFilesReplaceTheDocumentAndAnyReadableFileNamesTheWindow) {
    QTemporaryDir dir;
    MessageRecorder teated;
    Tekstiboks tb;
    // A byte order mark is accepted and dropped.
    const QString tee = kirjuta(dir, "kiri.vlm", "\xEF\xBB\xBF" + kDokument);
    ASSERT_TRUE(tb.Ava(tee));
    EXPECT_EQ(tb.m_strPealkiri, "Velmora - kiri.vlm");
    EXPECT_EQ(tb.m_strFailinimi, QFileInfo(tee).absoluteFilePath());

    // A second byte order mark is text before the magic.
    const LOIK* kiri = tb.m_arrLOIK[0].get();
    EXPECT_FALSE(tb.Ava(kirjuta(dir, "kaks.vlm", "\xEF\xBB\xBF\xEF\xBB\xBF" + kDokument)));
    EXPECT_TRUE(teated.messages.size() == 1 && teated.messages[0].text == "Faili formaat ei sobi!");
    EXPECT_EQ(tb.m_arrLOIK[0].get(), kiri);
    teated.messages.clear();

    // The bundled sample opens cleanly and wraps.
    ASSERT_TRUE(tb.Ava(QStringLiteral(VELMORA_EXAMPLES "/naidis.vlm")));
    EXPECT_TRUE(teated.messages.empty());
    EXPECT_GT(tb.m_arrRIDA.size(), tb.m_arrLOIK.size());

    // Text that is not VLM1 keeps the document, yet the window is named after the file.
    const LOIK* enne = tb.m_arrLOIK[0].get();
    EXPECT_FALSE(tb.Ava(kirjuta(dir, "muu.txt", "Lihtsalt tekst")));
    EXPECT_TRUE(teated.messages.size() == 1 && teated.messages[0].text == "Faili formaat ei sobi!");
    EXPECT_EQ(tb.m_arrLOIK[0].get(), enne);
    EXPECT_EQ(tb.m_strPealkiri, "Velmora - muu.txt");
}

TEST(Open, UnreadableFilesAreReportedAndChangeNothing) {
    QTemporaryDir dir;
    ASSERT_EQ(mkdir(QFile::encodeName(dir.filePath("kaust.vlm")).constData(), 0700), 0);
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath("toru.vlm")).constData(), 0600), 0);
    // A sparse file just over the limit: refused before it is read.
    ASSERT_TRUE(QFile::resize(kirjuta(dir, "suur.vlm", {}), 256LL * 1024 * 1024 + 1));
    QFile::setPermissions(kirjuta(dir, "keelatud.vlm", kDokument), QFileDevice::Permissions());
    std::vector<std::pair<QString, QString>> read = {
        {dir.filePath("puudub.vlm"), "no such file"},
        {dir.filePath(QString(300, u'n') + ".vlm"), "name is too long"},
        {dir.filePath("kaust.vlm"), "folder"},
        {kirjuta(dir, "latin1.vlm", "VLM1<1{M ma\xfc}{N}>"), "not valid UTF-8 (at byte 11)"},
        {kirjuta(dir, "overlong.vlm", "VLM1\xC0\xAF"), "not valid UTF-8 (at byte 4)"},
        {kirjuta(dir, "surrogate.vlm", "VLM1\xED\xA0\x80"), "not valid UTF-8 (at byte 4)"},
        {kirjuta(dir, "truncated.vlm", "VLM1\xE2\x82"), "not valid UTF-8 (at byte 4)"},
        {kirjuta(dir, "overlong3.vlm", "VLM1\xE0\x80\xAF"), "not valid UTF-8 (at byte 4)"},
        {kirjuta(dir, "overlong4.vlm", "VLM1\xF0\x80\x80\xAF"), "not valid UTF-8 (at byte 4)"},
        {kirjuta(dir, "beyond.vlm", "VLM1a\xF4\x90\x80\x80"), "not valid UTF-8 (at byte 5)"},
        // Not the format message: the bytes are refused before the magic is looked at.
        {kirjuta(dir, "first.vlm", "\xFFVLM1<1{N}>"), "not valid UTF-8 (at byte 0)"},
        {dir.filePath("suur.vlm"), "too large"},
        {dir.filePath("toru.vlm"), "not a regular file"}, // a pipe would block the read
    };
    if (geteuid() != 0)
        read.push_back({dir.filePath("keelatud.vlm"), "permission"});

    MessageRecorder teated;
    Tekstiboks tb;
    ASSERT_TRUE(tb.AvaFail(QString::fromUtf8(kDokument)));
    const LOIK* enne = tb.m_arrLOIK[0].get();
    for (const auto& [tee, pohjus] : read) {
        EXPECT_FALSE(tb.Ava(tee)) << qPrintable(tee);
        ASSERT_EQ(teated.messages.size(), 1u);
        const auto& m = teated.messages[0];
        EXPECT_TRUE(m.title == "Viga" && m.text.contains(QFileInfo(tee).fileName()) &&
                    m.text.contains(pohjus))
            << qPrintable(m.text);
        EXPECT_TRUE(tb.m_arrLOIK[0].get() == enne && tb.m_strPealkiri.isEmpty() &&
                    tb.m_strFailinimi.isEmpty());
        teated.messages.clear();
    }
}

// Reading the open file again keeps the zoom, the scroll position and the selection, held inside a
// shorter document; a file that is gone or no longer VLM1 leaves the shown document and says why,
// without a message box.
TEST(Open, ReloadKeepsZoomScrollAndTheSelectionHeldInside) {
    QTemporaryDir dir;
    MessageRecorder teated;
    // Paragraphs of four elements each.
    const auto dokument = [](int nLoike) {
        QByteArray s = "VLM1";
        for (int i = 0; i < nLoike; ++i)
            s += "<1{F DejaVu Sans;12;0;0;0;0;0;0;#000000}{M s\xc3\xb5na}{U}{M " + QByteArray::number(i) +
                 "}{N}>";
        return s;
    };
    const QString tee = kirjuta(dir, "a.vlm", dokument(100));
    Tekstiboks tb;
    tb.SeaNahtavaAlaSuurus(QSizeF(300, 200));
    ASSERT_TRUE(tb.Ava(tee));
    tb.Suumi(140);
    const double fKorgus = tb.m_arrReaY.back();
    struct Rida {
        const char* nimi;
        std::optional<QByteArray> sisu;
        std::pair<qint64, qint64> valikEnne;
        const char* strViga;
        std::pair<qint64, qint64> valik;
    };
    const Rida read[] = {
        {"the same document: everything stays", dokument(100), {40, 50}, "", {40, 50}},
        {"the anchor inside, the caret beyond the end", dokument(10), {20, 80}, "", {20, 39}},
        {"both beyond: before the final paragraph end", dokument(10), {60, 80}, "", {39, 39}},
        {"no longer VLM1", QByteArray("VLM2"), {5, 6}, "Faili formaat ei sobi!", {5, 6}},
        {"gone", std::nullopt, {5, 6}, "there is no such file", {5, 6}},
    };
    for (const Rida& rida : read) {
        if (rida.sisu)
            kirjuta(dir, "a.vlm", *rida.sisu);
        else
            QFile::remove(tee);
        tb.m_nShiftKursor = rida.valikEnne.first;
        tb.m_nKursor = rida.valikEnne.second;
        tb.SeaKerimiskoht(QPointF(0, 150));
        const double fKerimiskoht = tb.TooKerimiskoht().y();
        const LOIK* enne = tb.m_arrLOIK[0].get();
        EXPECT_TRUE(tb.LaadiUuesti().contains(rida.strViga)) << rida.nimi;
        EXPECT_EQ(tb.m_arrLOIK[0].get() == enne, *rida.strViga != '\0') << rida.nimi;
        EXPECT_EQ(std::pair(tb.m_nShiftKursor, tb.m_nKursor), rida.valik) << rida.nimi;
        EXPECT_EQ(tb.m_fSuum, 140) << rida.nimi;
        // Where it was, or as far down as the new document reaches.
        EXPECT_EQ(tb.TooKerimiskoht().y(), std::min(fKerimiskoht, tb.TooUlatus().height() - 200.0))
            << rida.nimi;
        if (rida.sisu == dokument(100)) {
            EXPECT_EQ(tb.m_arrReaY.back(), fKorgus) << "measured at the zoom";
        }
    }
    EXPECT_TRUE(teated.messages.empty());
    EXPECT_EQ(tb.m_strPealkiri, "Velmora - a.vlm");
}

namespace {

// Paragraphs of words with a picture in each: enough elements for several reports in every part of
// a reading.
QString suurDokument(int nLoike) {
    QString s = "VLM1";
    for (int l = 0; l < nLoike; ++l) {
        s += "<1{F DejaVu Sans;12;0;0;0;0;0;0;#000000}";
        for (int k = 0; k < 200; ++k)
            s += QStringLiteral("{M s\u00f5na%1}{U}").arg(k);
        // Pictures with payloads of their own, each decoded on its own.
        const QByteArray baPilt = imageFile(3, 2, 3780, "PNG", QColor(l % 256, 0, 0));
        s += "{P " + QString::fromLatin1(baPilt.toBase64()) + ";3;2;}{N}>";
    }
    return s;
}

// What the user sees of a document, to compare before and after a cancelled reading.
struct Nahtav {
    const LOIK* pEsimene;
    size_t nLoike, nRidu;
    qint64 nKursor, nShiftKursor;
    double fSuum;
    QPointF ptKerimiskoht;
    QString strSisu, strPealkiri, strFailinimi, strSuumiTekst;
    bool operator==(const Nahtav&) const = default;
};

Nahtav nahtav(const Tekstiboks& tb) {
    return {tb.m_arrLOIK[0].get(), tb.m_arrLOIK.size(), tb.m_arrRIDA.size(), tb.m_nKursor,
            tb.m_nShiftKursor,     tb.m_fSuum,          tb.TooKerimiskoht(), tb.m_strSisu,
            tb.m_strPealkiri,      tb.m_strFailinimi,   tb.m_strSuumiTekst};
}

} // namespace

TEST(Open, ReadingsReportTheirProgressInOrderAndACancelAtAnyReportKeepsTheDocumentShown) {
    const QString strSuur = suurDokument(150);
    MessageRecorder teated;
    std::vector<double> arrTeated;
    {
        Tekstiboks tb;
        ASSERT_TRUE(tb.AvaFail(strSuur, [&](double f) {
            arrTeated.push_back(f);
            return true;
        }));
        EXPECT_EQ(tb.m_arrLOIK.size(), 150u);
        const ELEMENT& e = *tb.m_arrLOIK[149]->m_arrELEMENT[400];
        ASSERT_EQ(e.m_TUUP, ELTUUP::PILT);
        EXPECT_TRUE(static_cast<const ELPILT&>(e).m_Kujutis.has_value());
    }
    // From 0 to at most 1, never backwards, through the elements, the pictures and the search text.
    ASSERT_GT(arrTeated.size(), 20u);
    EXPECT_EQ(arrTeated.front(), 0.0);
    EXPECT_TRUE(std::is_sorted(arrTeated.begin(), arrTeated.end()));
    EXPECT_LE(arrTeated.back(), 1.0);
    const auto esimeneAlates = [&](double f) {
        return size_t(std::lower_bound(arrTeated.begin(), arrTeated.end(), f) - arrTeated.begin());
    };
    const std::pair<const char*, size_t> arrKatkestused[] = {
        {"at the first report", 0},
        {"among the elements", esimeneAlates(0.4)},
        {"at the last element", esimeneAlates(0.8) - 1},
        {"among the pictures", esimeneAlates(0.85)},
        {"in the search text", esimeneAlates(0.9)},
        {"at the last report", arrTeated.size() - 1},
    };
    for (const auto& [nimi, nKatkesta] : arrKatkestused) {
        SCOPED_TRACE(nimi);
        ASSERT_LT(nKatkesta, arrTeated.size());
        Tekstiboks tb;
        tb.SeaNahtavaAlaSuurus(QSizeF(300, 200));
        ASSERT_TRUE(tb.AvaFail("VLM1" + suurDokument(3).mid(4)));
        tb.Suumi(180);
        tb.m_nKursor = 40;
        tb.m_nShiftKursor = 25;
        tb.SeaKerimiskoht(QPointF(0, 120));
        const Nahtav enne = nahtav(tb);
        size_t nTeade = 0;
        EXPECT_FALSE(tb.AvaFail(strSuur, [&](double) { return nTeade++ < nKatkesta; }));
        EXPECT_EQ(nTeade, nKatkesta + 1);
        EXPECT_TRUE(nahtav(tb) == enne);
        EXPECT_TRUE(teated.messages.empty());
        // The view reads again afterwards.
        ASSERT_TRUE(tb.AvaFail(strSuur));
        EXPECT_EQ(tb.m_arrLOIK.size(), 150u);
    }
}

// The program's end leaves the document to the process: the view shows the empty document, and the
// paragraphs are neither freed nor lost (the sanitizer build's leak check sees them as in use).
TEST(Open, DocumentLeftToTheEndOfTheProcessIsKeptAndTheViewEmptied) {
    Tekstiboks tb;
    ASSERT_TRUE(tb.AvaFail(QString::fromUtf8(kDokument)));
    tb.m_nKursor = 3;
    const std::weak_ptr<LOIK> loik = tb.m_arrLOIK[0];
    tb.JataDokumentLopuni();
    EXPECT_FALSE(loik.expired());
    EXPECT_EQ(loik.lock()->m_arrELEMENT.size(), 4u);
    ASSERT_EQ(tb.m_arrLOIK.size(), 1u);
    EXPECT_EQ(tb.TooMaksKursor(), 1);
    EXPECT_EQ(tb.m_nKursor, 0);
    EXPECT_EQ(tb.m_strSisu, u"\u00b6");
    EXPECT_EQ(tb.m_arrRIDA.size(), 1u);
}
