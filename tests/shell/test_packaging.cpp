#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Tulemus {
    int nKood = -1;
    QByteArray baValja;
};

Tulemus kaivita(const QString& strProgramm, const QStringList& arrArgumendid) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(strProgramm, arrArgumendid);
    if (!p.waitForFinished(120000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAll()};
}

QByteArray sisu(const QString& strFail) {
    QFile f(strFail);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// Installing puts the program, a valid desktop entry naming it, the file type and the icon in place, and
// the desktop's caches then map .vlm files and VLM1 contents to Velmora.
TEST(Packaging, InstallMakesVelmoraTheProgramForVlmDocuments) {
    QTemporaryDir koht;
    const QString strPrefix = koht.path();
    const Tulemus paigaldus = kaivita("cmake", {"--install", VELMORA_BINARY_DIR, "--prefix", strPrefix});
    ASSERT_EQ(paigaldus.nKood, 0) << paigaldus.baValja.constData();

    const QString strProgramm = strPrefix + "/bin/velmora";
    EXPECT_TRUE(QFileInfo(strProgramm).isExecutable());
    const QString strKirje = strPrefix + "/share/applications/velmora.desktop";
    const QByteArray baKirje = sisu(strKirje);
    EXPECT_TRUE(baKirje.contains("\nExec=" + strProgramm.toUtf8() + " %f\n")) << baKirje.constData();
    EXPECT_TRUE(baKirje.contains("\nMimeType=application/x-vlm;\n"));
    EXPECT_FALSE(QImage(strPrefix + "/share/icons/hicolor/scalable/apps/velmora.svg").isNull());
    EXPECT_TRUE(QFile::exists(strPrefix + "/share/mime/packages/velmora.xml"));

    if (const QString strKontroll = QStandardPaths::findExecutable("desktop-file-validate");
        !strKontroll.isEmpty()) {
        const Tulemus kontroll = kaivita(strKontroll, {strKirje});
        EXPECT_EQ(kontroll.nKood, 0);
        EXPECT_TRUE(kontroll.baValja.trimmed().isEmpty()) << kontroll.baValja.constData();
    }
    if (!QStandardPaths::findExecutable("update-mime-database").isEmpty()) {
        EXPECT_TRUE(sisu(strPrefix + "/share/mime/globs2").contains(":application/x-vlm:*.vlm\n"));
        const QByteArray baMagic = sisu(strPrefix + "/share/mime/magic");
        // The rule for offset 0: a value of 4 bytes, "VLM1".
        const char oodatud[] = "application/x-vlm]\n>0=\0\4VLM1";
        EXPECT_TRUE(baMagic.contains(QByteArray(oodatud, sizeof oodatud - 1))) << baMagic.toHex().constData();
    }
    if (!QStandardPaths::findExecutable("update-desktop-database").isEmpty()) {
        EXPECT_TRUE(sisu(strPrefix + "/share/applications/mimeinfo.cache")
                        .contains("application/x-vlm=velmora.desktop;"));
    }
}
