#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Exit code, standard output and standard error of one run of the program.
static std::tuple<int, QByteArray, QByteArray> kaivita(const QStringList& arrArgumendid) {
    QProcess p;
    p.start(QStringLiteral(VELMORA_EXECUTABLE), arrArgumendid);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
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
}

// "a b" fits one line at the smallest width the window used to allow (46 of content), but not in 12.
TEST(CommandLine, SmallVisibleAreaIsExact) {
    QTemporaryDir dir;
    QFile f(dir.filePath("ab.vlm"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("VLM1<1{M a}{U}{M b}{N}>") && f.flush());
    for (const auto& [strLaius, bMurtub] : {std::pair("54", false), std::pair("20", true)}) {
        const auto [nKood, baValja, baVead] =
            kaivita({"--layout-json", "--width", strLaius, "--height", "1", f.fileName()});
        ASSERT_EQ(nKood, 0) << baVead.constData();
        EXPECT_EQ(QJsonDocument::fromJson(baValja)["lines"].toArray().size() > 1, bMurtub) << strLaius;
    }
}

TEST(CommandLine, FailuresSayVigaAndExitWithOne) {
    // This very source is a readable text that is not VLM1.
    for (const auto& [tee, teade] : {std::pair(__FILE__, "Viga: Faili formaat ei sobi!"),
                                     std::pair("/puudub/puudub.vlm", "no such file")}) {
        const auto [nKood, baValja, baVead] = kaivita({"--layout-json", tee});
        EXPECT_TRUE(nKood == 1 && baValja.isEmpty()) << nKood;
        EXPECT_TRUE(baVead.startsWith("Viga: ") && baVead.contains(teade)) << baVead.constData();
    }
}
