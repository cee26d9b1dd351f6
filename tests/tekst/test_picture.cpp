#include "extensions/extensions.h"
#include "tekst/ELPILT.h"
#include "tekst/SharedPictures.h"
#include "tekst/Tekstiboks.h"

#include "testsupport.h"

#include <gtest/gtest.h>

// A red PNG file, in base64, that records `dotsPerMeter`.
static QString pngBase64(int w, int h, auto dotsPerMeter) {
    return QString::fromLatin1(imageFile(w, h, dotsPerMeter).toBase64());
}

// A picture token of a w x h PNG at 72 dpi, stored at 5 x 5.
static QString token(int w, int h) {
    return "{P " + pngBase64(w, h, 2835) + ";5;5;}";
}

static std::unique_ptr<ELPILT> read(const QString& payload) {
    auto picture = std::make_unique<ELPILT>();
    picture->LooSonest(payload);
    return picture;
}

// The bitmap is as many pixels as the file is points (none: 0 x 0), whatever the stored size.
TEST(Picture, ReadsBitmapAndStoredSize) {
    const std::tuple<const char*, QString, QSize, QSizeF> rows[] = {
        {"empty pieces dropped", ";;" + pngBase64(20, 20, 5669) + ";;12;;34;", {10, 10}, {12, 34}},
        // One dot per metre makes a 100 x 1 strip 283464 x 2834 points; enlarging it would take
        // hundreds of megabytes for a few bytes of file, so the bitmap keeps the file's pixels.
        {"tiny resolution", pngBase64(100, 1, 1) + ";5;5;", {100, 1}, {5, 5}},
        // 36 dpi across and 144 down make 80 x 20 points: shrunk by one factor, the shape stays.
        {"resolutions differing by axis", pngBase64(40, 40, QSize(1417, 5669)) + ";5;5;", {40, 10}, {5, 5}},
        {"line break in base64", pngBase64(20, 20, 5669).insert(40, '\n') + ";12;34;", {0, 0}, {12, 34}},
        {"base64 of no image", "aGVsbG8gd29ybGQh;12;34;", {0, 0}, {12, 34}},
        {"empty payload", "", {0, 0}, {0, 0}},
        // A picture without a bitmap still writes a token whose numbers keep their places.
        {"written without a bitmap", read("!!!!;12;34;")->TooSone().mid(3).chopped(1), {1, 1}, {12, 34}},
    };
    for (const auto& [name, payload, size, stored] : rows) {
        const auto p = read(payload);
        EXPECT_TRUE(p->m_Kujutis.value_or(QImage()).size() == size && p->m_cOrginaalSuurus == stored) << name;
    }
}

TEST(Picture, BitmapSizeIsBounded) {
    using Row = std::tuple<const char*, QSizeF, QSize>;
    const Row rows[] = {{"below one point", {0.4, 0}, {1, 1}},     {"side limit", {40000, 100}, {16384, 40}},
                        {"pixel limit", {1e9, 1e9}, {8192, 8192}}, {"not a number", {qQNaN(), 7}, {1, 7}},
                        {"infinite", {qInf(), 7}, {16384, 1}},     {"truncated", {10.9, 3.2}, {10, 3}}};
    for (const auto& [name, points, pixels] : rows)
        EXPECT_EQ(bitmapSizeForPoints(points), pixels) << name;
}

TEST(Picture, TokenRoundTrips) {
    const QString strSone = read(pngBase64(30, 12, 3780) + ";37.5;120.0;")->TooSone();
    ASSERT_TRUE(strSone.startsWith("{P ") && strSone.endsWith(";37.5;120.0;}"));
    // 30 x 12 pixels at 96 dpi are 22.5 x 9 points: 22 x 9 pixels of the program's own kind.
    QImage expected(22, 9, QImage::Format_RGBA8888_Premultiplied);
    expected.fill(Qt::red);
    const auto back = read(strSone.mid(3).chopped(1));
    EXPECT_TRUE(back->m_Kujutis == expected && back->m_cOrginaalSuurus == QSizeF(37.5, 120));

    // Sizes too large for a double are infinite, and must be written so that they read back so.
    const QString infinite = read("x;1e999;-1e999;")->TooSone();
    const QSizeF stored = read(infinite.mid(3).chopped(1))->m_cOrginaalSuurus.value_or(QSizeF());
    EXPECT_TRUE(stored.width() == qInf() && stored.height() == -qInf()) << infinite.toStdString();
}

// Pictures of equal payload share one bitmap and count once against the document's budget, which
// the small ones take in full and the large ones share out, scaled down by one factor.
TEST(Picture, ReaderSharesEqualPayloadsWithinTheBudget) {
    const QString strSuur = token(40, 40);
    const std::tuple<const char*, qint64, QString, std::vector<QSize>> rows[] = {
        {"within the budget", 10000, token(10, 10) + strSuur + strSuur, {{10, 10}, {40, 40}, {40, 40}}},
        // 100 of 1000 for the small one, the other 900 for the large one: 30 x 30. Where every picture
        // needs more than its share, each gets about a third.
        {"over the budget", 1000, token(10, 10) + strSuur + strSuur, {{10, 10}, {30, 30}, {30, 30}}},
        {"shared out evenly",
         800,
         token(40, 20) + token(20, 40) + token(40, 40),
         {{22, 11}, {11, 22}, {16, 16}}},
        {"no budget at all", 0, strSuur + token(8, 2), {{1, 1}, {2, 1}}},
    };
    for (const auto& [name, nEelarve, strPildid, sizes] : rows) {
        Tekstiboks tb;
        tb.m_nPildiEelarve = nEelarve;
        ASSERT_TRUE(tb.AvaFail("VLM1<1" + strPildid + "{P @@;5;5;}{N}>"));
        const auto& arr = tb.m_arrLOIK[0]->m_arrELEMENT;
        for (size_t k = 0; k < sizes.size(); ++k) {
            const auto& pilt = static_cast<const ELPILT&>(*arr[k]);
            EXPECT_EQ(pilt.m_Kujutis.value_or(QImage()).size(), sizes[k]) << name << " " << k;
            EXPECT_EQ(pilt.m_cOrginaalSuurus, QSizeF(5, 5)) << name << " " << k;
        }
        EXPECT_FALSE(static_cast<const ELPILT&>(*arr[sizes.size()]).m_Kujutis) << name;
    }
    Tekstiboks tb;
    ASSERT_TRUE(tb.AvaFail("VLM1<1" + strSuur + token(10, 10) + strSuur + "{N}>"));
    const auto bitmap = [&](size_t k) {
        return *static_cast<const ELPILT&>(*tb.m_arrLOIK[0]->m_arrELEMENT[k]).m_Kujutis;
    };
    EXPECT_EQ(bitmap(0).constBits(), bitmap(2).constBits());
    EXPECT_NE(bitmap(0).constBits(), bitmap(1).constBits());
}

// Decoding costs what the whole picture costs, at least SharedPictures::kVahimToo: in document order,
// a picture whose work still fits the document's budget is decoded, one that does not keeps no bitmap
// (and costs the minimum), and beyond the budget over the minimum no picture is looked at at all.
TEST(Picture, ReaderDecodesWithinTheWorkBudget) {
    const qint64 nVahim = SharedPictures::kVahimToo;
    // 400 x 300 pixels are worth more than the minimum; the small ones are worth the minimum.
    const QString strSuur = token(400, 300), strA = token(10, 10), strB = token(11, 10), strC = token(12, 10);
    const std::tuple<const char*, qint64, QString, std::vector<bool>> rows[] = {
        {"all fit", 3 * nVahim, strA + strB + strC, {true, true, true}},
        {"the last is beyond the count", 3 * nVahim - 1, strA + strB + strC, {true, true, false}},
        {"equal pictures cost once", 2 * nVahim, strA + strB + strA + strB, {true, true, true, true}},
        {"a large one that does not fit leaves room",
         3 * nVahim,
         strSuur + strA + strB + strC,
         {false, true, true, false}},
        {"a large one that fits", nVahim + 120000, strA + strSuur, {true, true}},
        // Looking at the large one costs the minimum, which leaves too little for the last.
        {"looking costs", 3 * nVahim, strSuur + token(256, 128) + strA, {false, true, false}},
        {"no budget at all", 0, strA, {false}},
    };
    for (const auto& [name, nEelarve, strPildid, decoded] : rows) {
        Tekstiboks tb;
        tb.m_nPildiTooEelarve = nEelarve;
        ASSERT_TRUE(tb.AvaFail("VLM1<1" + strPildid + "{N}>"));
        const auto& arr = tb.m_arrLOIK[0]->m_arrELEMENT;
        for (size_t k = 0; k < decoded.size(); ++k)
            EXPECT_EQ(static_cast<const ELPILT&>(*arr[k]).m_Kujutis.has_value(), decoded[k])
                << name << " " << k;
    }
}

// However many pictures a document holds, the headers of no more than the work budget over the least
// work are read.
TEST(Picture, HeadersReadStayWithinTheWorkBudget) {
    std::vector<std::unique_ptr<ELPILT>> arrPildid;
    SharedPictures pildid(1 << 20, 3 * SharedPictures::kVahimToo + 1);
    // The texts are kept as views: they must outlive the decoding.
    QStringList arrSonad;
    for (int k = 0; k < 10; ++k)
        pildid.Lisa(*arrPildid.emplace_back(std::make_unique<ELPILT>()),
                    arrSonad.emplace_back(pngBase64(k + 1, 1, 2835)));
    pildid.LooKujutised();
    EXPECT_EQ(pildid.headersRead(), 3);
    EXPECT_TRUE(arrPildid[2]->m_Kujutis && !arrPildid[3]->m_Kujutis);
}
