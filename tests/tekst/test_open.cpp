#include "tekst/ELENTER.h"
#include "tekst/Tekstiboks.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <set>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray kDokument = "VLM1<1{F Arial;12;0;0;0;0;0;0;#000000}{M Tere}{U}{M maailm}{N}>";

QString kirjuta(const QTemporaryDir& dir, const QString& nimi, const QByteArray& sisu) {
    const QString tee = dir.filePath(nimi);
    QFile f(tee);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(sisu);
    return tee;
}

} // namespace

TEST(Open, StartUpShowsTheEmptyDocument) {
    Tekstiboks tb;
    ASSERT_EQ(tb.m_arrLOIK.size(), 1u);
    ASSERT_EQ(tb.m_arrLOIK[0]->m_arrELEMENT.size(), 1u);
    const ELEMENT& e = *tb.m_arrLOIK[0]->m_arrELEMENT[0];
    EXPECT_EQ(e.m_TUUP, ELTUUP::ENTER);
    EXPECT_EQ(e.m_nKiri, 0);
    EXPECT_EQ(e.m_clEsiletost, Colour::white());
    EXPECT_TRUE(e.m_cSuurus.has_value());
    ASSERT_EQ(tb.m_arrRIDA.size(), 1u);
    EXPECT_EQ(tb.m_arrRIDA[0].m_arrELEMENT.size(), 1u);
    ASSERT_EQ(tb.m_arrJooksevKiri.size(), 1u);
    EXPECT_EQ(tb.m_arrJooksevKiri[0].m_strKirjatuup, "Arial");
    EXPECT_EQ(tb.m_fSuum, 100.0);
    EXPECT_EQ(tb.m_cServad, QSizeF(4, 4));
    EXPECT_EQ(tb.m_fReaVahe, 3.0);
    EXPECT_FALSE(tb.m_bFookuses);
    EXPECT_EQ(tb.m_strSisu, QStringLiteral("\u00b6"));
    EXPECT_TRUE(tb.m_strFailinimi.isEmpty());
    EXPECT_EQ(tb.TooMaksKursor(), 1);
}

TEST(Open, ValidFileReplacesTheDocumentAndNamesTheWindow) {
    QTemporaryDir dir;
    MessageRecorder teated;
    Tekstiboks tb;
    tb.SeaNahtavaAlaSuurus(QSizeF(400, 300));
    // A byte order mark is accepted and dropped.
    const QString tee = kirjuta(dir, "kiri.vlm", "\xEF\xBB\xBF" + kDokument);
    EXPECT_TRUE(tb.Ava(tee));
    EXPECT_TRUE(teated.messages.empty());
    EXPECT_EQ(tb.TooMaksKursor(), 4);
    EXPECT_EQ(tb.m_strPealkiri, "Velmora - kiri.vlm");
    EXPECT_EQ(tb.m_strFailinimi, QFileInfo(tee).absoluteFilePath());
}

TEST(Open, UnreadableFilesAreReportedAndChangeNothing) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("kaust.vlm");
    struct Rida {
        const char* nimi;
        QString tee;
        QString pohjus;
    };
    std::vector<Rida> read = {
        {"missing file", dir.filePath("puudub.vlm"), "no such file"},
        {"folder", dir.filePath("kaust.vlm"), "folder"},
        {"invalid UTF-8", kirjuta(dir, "latin1.vlm", "VLM1<1{M ma\xfc}{N}>"), "not valid UTF-8 (at byte 11)"},
        {"overlong UTF-8", kirjuta(dir, "overlong.vlm", "VLM1\xC0\xAF"), "not valid UTF-8 (at byte 4)"},
        {"encoded surrogate", kirjuta(dir, "surrogate.vlm", "VLM1\xED\xA0\x80"),
         "not valid UTF-8 (at byte 4)"},
        {"truncated sequence", kirjuta(dir, "truncated.vlm", "VLM1\xE2\x82"), "not valid UTF-8 (at byte 4)"},
    };
    // A sparse file just over the limit: refused before it is read.
    const QString suur = dir.filePath("suur.vlm");
    {
        QFile f(suur);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(256LL * 1024 * 1024 + 1));
    }
    read.push_back({"too large", suur, "too large"});
    const QString toru = dir.filePath("toru.vlm");
    ASSERT_EQ(mkfifo(QFile::encodeName(toru).constData(), 0600), 0);
    read.push_back({"a pipe, which would block the read", toru, "not a regular file"});
    const QString keelatud = kirjuta(dir, "keelatud.vlm", kDokument);
    QFile::setPermissions(keelatud, QFileDevice::Permissions());
    if (geteuid() != 0)
        read.push_back({"permission denied", keelatud, "permission"});

    for (const auto& r : read) {
        MessageRecorder teated;
        Tekstiboks tb;
        tb.SeaNahtavaAlaSuurus(QSizeF(400, 300));
        ASSERT_TRUE(tb.AvaFail(QString::fromUtf8(kDokument)));
        const LOIK* enne = tb.m_arrLOIK[0].get();
        EXPECT_FALSE(tb.Ava(r.tee)) << r.nimi;
        ASSERT_EQ(teated.messages.size(), 1u) << r.nimi;
        EXPECT_EQ(teated.messages[0].title, "Viga") << r.nimi;
        EXPECT_TRUE(teated.messages[0].text.contains(QFileInfo(r.tee).fileName())) << r.nimi;
        EXPECT_TRUE(teated.messages[0].text.contains(r.pohjus))
            << r.nimi << " " << qPrintable(teated.messages[0].text);
        EXPECT_EQ(tb.m_arrLOIK[0].get(), enne) << r.nimi;
        EXPECT_TRUE(tb.m_strPealkiri.isEmpty()) << r.nimi;
        EXPECT_TRUE(tb.m_strFailinimi.isEmpty()) << r.nimi;
    }
}

TEST(Open, TextThatIsNotVlm1KeepsTheDocumentButNamesTheWindow) {
    QTemporaryDir dir;
    MessageRecorder teated;
    Tekstiboks tb;
    ASSERT_TRUE(tb.Ava(kirjuta(dir, "hea.vlm", kDokument)));
    const LOIK* enne = tb.m_arrLOIK[0].get();
    EXPECT_FALSE(tb.Ava(kirjuta(dir, "muu.txt", "Lihtsalt tekst")));
    ASSERT_EQ(teated.messages.size(), 1u);
    EXPECT_EQ(teated.messages[0].text, "Faili formaat ei sobi!");
    EXPECT_EQ(tb.m_arrLOIK[0].get(), enne);
    EXPECT_EQ(tb.m_strPealkiri, "Velmora - muu.txt");
}

TEST(Open, BundledSampleOpensCleanly) {
    MessageRecorder teated;
    Tekstiboks tb;
    tb.SeaNahtavaAlaSuurus(QSizeF(800, 600));
    ASSERT_TRUE(tb.Ava(QStringLiteral(VELMORA_EXAMPLES "/naidis.vlm")));
    EXPECT_TRUE(teated.messages.empty());
    EXPECT_GE(tb.m_arrLOIK.size(), 8u);
    std::set<JOONDUS> joondused;
    for (const auto& loik : tb.m_arrLOIK)
        joondused.insert(loik->m_Joondus);
    EXPECT_EQ(joondused.size(), 4u);
    EXPECT_GT(tb.m_arrRIDA.size(), tb.m_arrLOIK.size());
}
