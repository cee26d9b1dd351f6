#include "testsupport.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Tulemus {
    int nKood = -1;
    QByteArray baValja;
    QByteArray baVead;
};

Tulemus kaivita(const QStringList& arrArgumendid) {
    QProcess p;
    p.start(QStringLiteral(VELMORA_EXECUTABLE), arrArgumendid);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

QString kirjuta(const QTemporaryDir& dir, const QString& nimi, const QByteArray& sisu) {
    QFile f(dir.filePath(nimi));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(sisu);
    return f.fileName();
}

} // namespace

TEST(CommandLine, LayoutJsonDescribesTheDocument) {
    QTemporaryDir dir;
    const QString tee =
        kirjuta(dir, "kaks.vlm",
                "VLM1<2{F Arial;12;1;0;0;0;0;0;#ff0000}{E #ffff00}{M Tere}{U}{P @;40;30;}{N}>\n"
                "<1{T}{M x}{N}>");
    const Tulemus t = kaivita({"--layout-json", "--width", "300", "--height", "200", "--zoom", "200", tee});
    ASSERT_EQ(t.nKood, 0) << t.baVead.constData();
    const QJsonObject o = QJsonDocument::fromJson(t.baValja).object();
    ASSERT_FALSE(o.isEmpty());
    const QJsonObject kiri = o["styles"].toArray()[0].toObject();
    EXPECT_EQ(kiri["face"].toString(), "Arial");
    EXPECT_EQ(kiri["size"].toDouble(), 12.0);
    EXPECT_TRUE(kiri["bold"].toBool());
    EXPECT_EQ(kiri["colour"].toString(), "#ff0000");

    const QJsonArray loigud = o["paragraphs"].toArray();
    ASSERT_EQ(loigud.size(), 2);
    EXPECT_EQ(loigud[0].toObject()["align"].toInt(), 2);
    const QJsonArray e = loigud[0].toObject()["elements"].toArray();
    ASSERT_EQ(e.size(), 4);
    EXPECT_EQ(e[0].toObject()["kind"].toString(), "MARK");
    EXPECT_EQ(e[0].toObject()["text"].toString(), "Tere");
    EXPECT_EQ(e[0].toObject()["highlight"].toString(), "#ffff00");
    EXPECT_EQ(e[2].toObject()["kind"].toString(), "PILT");
    EXPECT_EQ(e[2].toObject()["width"].toDouble(), 80.0);
    EXPECT_EQ(e[2].toObject()["stored"].toArray(), (QJsonArray{40.0, 30.0}));
    EXPECT_TRUE(e[2].toObject()["bitmap"].isNull());
    EXPECT_TRUE(loigud[1].toObject()["elements"].toArray()[0].toObject()["highlight"].toString() ==
                "#ffff00");

    const QJsonArray read = o["lines"].toArray();
    ASSERT_EQ(read.size(), 2);
    EXPECT_EQ(read[0].toObject()["top"].toDouble(), 4.0);
    EXPECT_EQ(read[1].toObject()["first"].toInt(), 4);
    EXPECT_EQ(read[1].toObject()["paragraph"].toInt(), 1);
    EXPECT_EQ(read[1].toObject()["top"].toDouble(), 4.0 + read[0].toObject()["height"].toDouble() + 6.0);
    EXPECT_EQ(o["extent"].toArray(), (QJsonArray{300, 200}));
    EXPECT_EQ(o["zoom"].toDouble(), 200.0);
    EXPECT_EQ(o["status"].toArray(), (QJsonArray{1, 1}));
    EXPECT_EQ(o["title"].toString(), "Velmora - kaks.vlm");
}

TEST(CommandLine, FailuresSayVigaAndExitWithOne) {
    QTemporaryDir dir;
    const std::vector<std::pair<QString, QString>> read = {
        {kirjuta(dir, "muu.vlm", "Tere"), "Viga: Faili formaat ei sobi!"},
        {dir.filePath("puudub.vlm"), "no such file"},
    };
    for (const auto& [tee, teade] : read) {
        const Tulemus t = kaivita({"--layout-json", tee});
        EXPECT_EQ(t.nKood, 1);
        EXPECT_TRUE(t.baValja.isEmpty());
        EXPECT_TRUE(t.baVead.startsWith("Viga: ")) << t.baVead.constData();
        EXPECT_TRUE(QString::fromUtf8(t.baVead).contains(teade)) << t.baVead.constData();
    }
}

TEST(CommandLine, ScreenshotWritesThePng) {
    QTemporaryDir dir;
    const QString png = dir.filePath("aken.png");
    const Tulemus t = kaivita({"--screenshot", png, "--width", "400", "--height", "300",
                               QStringLiteral(VELMORA_EXAMPLES "/naidis.vlm")});
    ASSERT_EQ(t.nKood, 0) << t.baVead.constData();
    const QImage img(png);
    ASSERT_FALSE(img.isNull());
    EXPECT_GE(img.width(), 400);
    EXPECT_GE(img.height(), 300);
}
