#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

// Exit code, standard output and standard error of one run of the program, in the folder strKaust.
static std::tuple<int, QByteArray, QByteArray> kaivita(const QStringList& arrArgumendid,
                                                       const QString& strKaust = {}) {
    QProcess p;
    p.setWorkingDirectory(strKaust);
    p.start(QStringLiteral(VELMORA_EXECUTABLE), arrArgumendid);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

// Every key of the JSON object oodatud has that value in saadud; other keys are not looked at.
static void vastab(const QJsonValue& saadud, const char* oodatud) {
    const QJsonObject o = QJsonDocument::fromJson(oodatud).object();
    for (auto it = o.begin(); it != o.end(); ++it)
        EXPECT_EQ(saadud[it.key()], it.value()) << qPrintable(it.key());
}

TEST(CommandLine, LayoutJsonAndScreenshotShowTheDocument) {
    QTemporaryDir dir;
    QFile f(dir.filePath("kaks.vlm"));
    ASSERT_TRUE(
        f.open(QIODevice::WriteOnly) &&
        f.write(
            "VLM1<2{F Arial;12;1;0;0;0;0;0;#ff0000}{E #ffff00}{M Tere}{U}{P @;40;30;}{N}><1{T}{M x}{N}>") &&
        f.flush());
    const auto [nKood, baValja, baVead] =
        kaivita({"--layout-json", "--screenshot", dir.filePath("aken.png"), "--width", "300", "--height",
                 "200", "--zoom", "200", f.fileName()});
    ASSERT_EQ(nKood, 0) << baVead.constData();
    const QJsonObject o = QJsonDocument::fromJson(baValja).object();
    vastab(o, R"({"extent": [300, 200], "zoom": 200, "cursor": 0, "anchor": 0, "status": [1, 1],
                  "title": "Velmora - kaks.vlm", "styles": [{"face": "Arial", "size": 12, "bold": true,
                  "italic": false, "underline": false, "strike": false, "superscript": false,
                  "subscript": false, "colour": "#ff0000"}]})");
    EXPECT_EQ(o["paragraphs"][0]["align"], 2);
    const QJsonArray e = o["paragraphs"][0]["elements"].toArray();
    vastab(e[0], R"({"kind": "MARK", "style": 0, "text": "Tere", "highlight": "#ffff00"})");
    vastab(e[2], R"({"kind": "PILT", "width": 80, "height": 60, "stored": [40, 30], "bitmap": null})");
    // The highlight carries into the next paragraph.
    EXPECT_EQ(o["paragraphs"][1]["elements"][0]["highlight"], "#ffff00");
    const QJsonArray read = o["lines"].toArray();
    ASSERT_EQ(read.size(), 2);
    vastab(read[0], R"({"paragraph": 0, "first": 0, "count": 4, "top": 4})");
    vastab(read[1], R"({"paragraph": 1, "first": 4, "count": 3})");
    EXPECT_EQ(read[1]["top"], 4.0 + read[0]["height"].toDouble() + 6.0);
    EXPECT_TRUE(QImage(dir.filePath("aken.png")).rect().contains(QRect(0, 0, 300, 200)));

    // The extent is the document's, also far beyond the largest size a widget can have: the last
    // line, its gap and the bottom margin.
    QFile pikk(dir.filePath("pikk.vlm"));
    ASSERT_TRUE(pikk.open(QIODevice::WriteOnly) &&
                pikk.write("VLM1" + QByteArray("<1{P @;10;100000;}{N}>").repeated(200)) && pikk.flush());
    const auto [nPikkKood, baPikk, baPikkVead] = kaivita({"--layout-json", pikk.fileName()});
    ASSERT_EQ(nPikkKood, 0) << baPikkVead.constData();
    const QJsonObject p = QJsonDocument::fromJson(baPikk).object();
    const QJsonValue viimane = p["lines"][199];
    EXPECT_EQ(p["extent"][1].toDouble(),
              std::ceil(viimane["top"].toDouble() + viimane["height"].toDouble() + 3 + 4));
    EXPECT_GT(p["extent"][1].toDouble(), 16777215.0);
}

// Every failure, of the file or of the command line, is one "Viga:" line and status 1, and is told
// before anything needs a display.
TEST(CommandLine, FailuresSayVigaAndExitWithOne) {
    QTemporaryDir dir;
    QFile f(dir.filePath("-a.vlm"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("VLM1<1{M a}{U}{M b}{N}>") && f.flush());
    const QString strFail = f.fileName();
    // This very source is a readable text that is not VLM1.
    const std::pair<QStringList, const char*> read[] = {
        {{"--layout-json", __FILE__}, "Faili formaat ei sobi!"},
        {{"--layout-json", "/puudub/puudub.vlm"}, "no such file"},
        {{"--bogus", strFail}, "unknown option --bogus"},
        {{"--layout-json", "-a.vlm"},
         "unknown option -a.vlm (a file name that begins with \"-\" goes after --)"},
        {{"--layout-json", "--zoom"}, "--zoom needs a value"},
        {{"--layout-json=yes", strFail}, "--layout-json takes no value"},
        {{"--layout-json", "--width", "0", strFail},
         "--width takes a whole number from 1 to 16384, not \"0\""},
        {{"--layout-json", "--height=16385", strFail}, "--height takes a whole number from 1 to 16384"},
        {{"--screenshot", "x.png", "--width", "12px", strFail}, "--width takes a whole number"},
        {{"--layout-json"}, "give exactly one FILE"},
        {{"--layout-json", strFail, strFail}, "give exactly one FILE"},
        {{strFail, strFail}, "give at most one FILE"},
        {{"--screenshot", dir.filePath("puudub/aken.png"), strFail}, "could not write"},
        {{"--pdf", dir.filePath("puudub/a.pdf"), strFail}, "Faili \u201ea.pdf\u201c ei saanud kirjutada"},
    };
    for (const auto& [arrArgumendid, teade] : read) {
        const auto [nKood, baValja, baVead] = kaivita(arrArgumendid, dir.path());
        EXPECT_TRUE(nKood == 1 && baValja.isEmpty()) << nKood << " " << qPrintable(arrArgumendid.join(' '));
        EXPECT_TRUE(baVead.startsWith("Viga: ") && baVead.contains(teade) && baVead.count('\n') == 1)
            << baVead.constData();
    }
    // After "--" a name beginning with "-" is a file, and "--name=value" is an option with its value.
    // "a b" fits a line 46 wide, the least the window used to allow, but not the 12 of a width of 20.
    const auto [nKood, baValja, baVead] =
        kaivita({"--width=20", "--layout-json", "--", "-a.vlm"}, dir.path());
    ASSERT_EQ(nKood, 0) << baVead.constData();
    const QJsonDocument json = QJsonDocument::fromJson(baValja);
    EXPECT_EQ(json["title"], "Velmora - -a.vlm");
    EXPECT_GT(json["lines"].toArray().size(), 1);
}

// A document that needs more memory than the process may take ends in one "Viga:" line, not in an
// exception escaping the program. (The sanitizers need far more address space than any such limit.)
TEST(CommandLine, RunningOutOfMemoryIsOneVigaLine) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "address space is limited below what AddressSanitizer reserves";
#endif
    QTemporaryDir dir;
    QFile f(dir.filePath("tuhikud.vlm"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) &&
                f.write("VLM1<1" + QByteArray("{U}").repeated(1'500'000) + "{N}>") && f.flush());
    QProcess p;
    p.start("/bin/sh",
            {"-c", "ulimit -v 300000 && exec \"$0\" --layout-json \"$1\"", VELMORA_EXECUTABLE, f.fileName()});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QByteArray baVead = p.readAllStandardError();
    EXPECT_TRUE(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 1) << p.exitCode();
    EXPECT_TRUE(baVead.startsWith("Viga: ") && baVead.count('\n') == 1) << baVead.constData();
}

// The layout is written as it is walked, and reads back as the JSON it promises, quotes, backslashes
// and control characters in runs included.
TEST(CommandLine, LayoutJsonEscapesTexts) {
    QTemporaryDir dir;
    QFile f(dir.filePath("erimargid.vlm"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) &&
                f.write("VLM1<1{M \"a\\b\tc\nd\x01 \xc3\xb5\xf0\x9f\x98\x80}{N}>") && f.flush());
    const auto [nKood, baValja, baVead] = kaivita({"--layout-json", f.fileName()});
    ASSERT_EQ(nKood, 0) << baVead.constData();
    EXPECT_TRUE(
        std::all_of(baValja.begin(), baValja.end(), [](char c) { return uchar(c) >= 0x20 || c == '\n'; }));
    QJsonParseError viga;
    const QJsonDocument json = QJsonDocument::fromJson(baValja, &viga);
    ASSERT_EQ(viga.error, QJsonParseError::NoError) << qPrintable(viga.errorString());
    EXPECT_EQ(json["paragraphs"][0]["elements"][0]["text"].toString(),
              QString::fromUtf8("\"a\\b\tc\nd\x01 \xc3\xb5\xf0\x9f\x98\x80"));
}

TEST(CommandLine, TextPrintsWhatCopyingEverythingGives) {
    QTemporaryDir dir;
    QFile f(dir.filePath("tekst.vlm"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) &&
                f.write("VLM1<1{M Tere}{U}{M \xc3\xb5un}{T}{P @;5;5;}{M x}{N}><2{M l\xc3\xb5pp}{N}>") &&
                f.flush());
    const auto [nKood, baValja, baVead] = kaivita({"--text", f.fileName()});
    ASSERT_EQ(nKood, 0) << baVead.constData();
    // The final paragraph end is not selected; the line feed after the text is the export's own.
    EXPECT_EQ(baValja, QByteArray("Tere \xc3\xb5un\tx\nl\xc3\xb5pp\n"));

    const auto [nViga, baTuhi, baTeade] = kaivita({"--text", __FILE__});
    EXPECT_TRUE(nViga == 1 && baTuhi.isEmpty()) << nViga;
    EXPECT_EQ(baTeade, QByteArray("Viga: Faili formaat ei sobi!\n"));
}

// --pdf writes the document as printing lays it out, without a display.
TEST(CommandLine, PdfWritesTheDocument) {
    QTemporaryDir dir;
    QFile f(dir.filePath("a.vlm"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("VLM1<1{M Tere}{U}{M paber}{N}>") && f.flush());
    const auto [nKood, baValja, baVead] = kaivita({"--pdf", dir.filePath("a.pdf"), f.fileName()});
    ASSERT_EQ(nKood, 0) << baVead.constData();
    EXPECT_TRUE(baValja.isEmpty());
    QProcess p;
    p.start("pdftotext", {dir.filePath("a.pdf"), "-"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.readAllStandardOutput().simplified(), "Tere paber");
}

// The screenshot is the whole window: menu bar and toolbar above the visible document area, which is
// exactly as large as asked, and the status bar below it.
TEST(CommandLine, ScreenshotShowsTheWholeWindow) {
    QTemporaryDir dir;
    QFile f(dir.filePath("a.vlm"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("VLM1<1{M a}{N}>") && f.flush());
    const auto [nKood, baValja, baVead] = kaivita(
        {"--screenshot", dir.filePath("aken.png"), "--width", "300", "--height", "200", f.fileName()});
    ASSERT_EQ(nKood, 0) << baVead.constData();
    const QImage pilt(dir.filePath("aken.png"));
    ASSERT_FALSE(pilt.isNull());
    const int nOlekuriba = 26;
    const int nVaateAlgus = pilt.height() - nOlekuriba - 200;
    EXPECT_GE(pilt.width(), 300);
    EXPECT_GE(nVaateAlgus, 40) << "room for the menu bar and the toolbar";

    const QColor hall = pilt.pixelColor(pilt.width() / 2, pilt.height() - nOlekuriba / 2);
    EXPECT_EQ(hall, pilt.pixelColor(pilt.width() - 20, pilt.height() - 2));
    EXPECT_NEAR(hall.redF(), 0.7, 0.01);
    EXPECT_EQ(pilt.pixelColor(150, nVaateAlgus + 100), QColor(Qt::white));
    EXPECT_EQ(pilt.pixelColor(290, nVaateAlgus + 1), QColor(Qt::white));
    int nJoonistatud = 0;
    for (int y = 0; y < nVaateAlgus; ++y)
        for (int x = 0; x < pilt.width(); ++x)
            nJoonistatud += pilt.pixelColor(x, y) != QColor(Qt::white);
    EXPECT_GT(nJoonistatud, 100) << "the menu bar and the toolbar are drawn";
}

// Asking for the version needs no display; starting the window without one is one
// "Viga:" line instead of Qt's abort.
TEST(CommandLine, VersionAndAMissingDisplay) {
    QProcessEnvironment ilmaEkraanita = QProcessEnvironment::systemEnvironment();
    for (const char* strNimi : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        ilmaEkraanita.remove(strNimi);
    struct Rida {
        QStringList arrArgumendid;
        int nKood;
        const char* strValja;
        const char* strVead;
    };
    const Rida read[] = {
        {{"--version"}, 0, "Velmora 0.", ""},
        {{VELMORA_EXAMPLES "/naidis.vlm"}, 1, "", "Viga: no display"},
    };
    for (const Rida& rida : read) {
        QProcess p;
        p.setProcessEnvironment(ilmaEkraanita);
        p.start(QStringLiteral(VELMORA_EXECUTABLE), rida.arrArgumendid);
        ASSERT_TRUE(p.waitForFinished(60000));
        const QByteArray baValja = p.readAllStandardOutput(), baVead = p.readAllStandardError();
        EXPECT_EQ(p.exitCode(), rida.nKood) << baVead.constData();
        EXPECT_TRUE(*rida.strValja ? baValja.startsWith(rida.strValja) : baValja.isEmpty())
            << baValja.constData();
        EXPECT_TRUE(*rida.strVead ? baVead.startsWith(rida.strVead) && baVead.count('\n') == 1
                                  : baVead.isEmpty())
            << baVead.constData();
    }
}

// Started with a file it cannot open, the program says so and keeps its window, empty, running.
// (Qt's own notes about the offscreen platform may come before the message.)
TEST(CommandLine, AFileThatCannotBeOpenedLeavesTheEmptyWindowRunning) {
    QProcess p;
    p.start(QStringLiteral(VELMORA_EXECUTABLE), {"/puudub/kiri.vlm"});
    ASSERT_TRUE(p.waitForStarted());
    QByteArray baVead;
    const auto teade = [&baVead] {
        for (const QByteArray& baRida : baVead.split('\n'))
            if (baRida.startsWith("Viga: "))
                return baRida;
        return QByteArray();
    };
    for (int i = 0; i < 300 && teade().isEmpty(); ++i) {
        p.waitForReadyRead(100);
        baVead += p.readAllStandardError();
    }
    EXPECT_TRUE(teade().contains("no such file")) << baVead.constData();
    EXPECT_FALSE(p.waitForFinished(500));
    EXPECT_EQ(p.state(), QProcess::Running);
    p.kill();
    p.waitForFinished();
}
