#include "extensions.h"
#include "tekst/ELPILT.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

QString pngBase64(int w, int h, int dotsPerMeter, QColor colour = Qt::red) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QString::fromLatin1(bytes.toBase64());
}

std::unique_ptr<ELPILT> read(const QString& payload) {
    auto picture = std::make_unique<ELPILT>();
    picture->LooSonest(payload);
    return picture;
}

constexpr int k144Dpi = 5669;

} // namespace

TEST(Picture, ReadsBitmapAndStoredSize) {
    const QString png = pngBase64(20, 20, k144Dpi, Qt::blue);
    const struct {
        const char* name;
        QString payload;
        bool hasBitmap;
        QSizeF stored;
    } rows[] = {
        {"stored size independent of pixels", png + ";120.0;80.0;", true, {120, 80}},
        {"width not a number", png + ";wide;80;", true, {0, 80}},
        {"exponent form", png + ";1e+20;5e-324;", true, {1e20, 5e-324}},
        {"missing numbers", png + ";", true, {0, 0}},
        {"empty pieces dropped", ";;" + png + ";;12;;34;", true, {12, 34}},
        {"line break in base64", png.left(40) + "\n" + png.mid(40) + ";12;34;", false, {12, 34}},
        {"not base64", "!!!!;12;34;", false, {12, 34}},
        {"base64 of no image", "aGVsbG8gd29ybGQh;12;34;", false, {12, 34}},
        {"empty payload", "", false, {0, 0}},
    };
    for (const auto& row : rows) {
        const auto picture = read(row.payload);
        EXPECT_EQ(picture->m_Kujutis.has_value(), row.hasBitmap) << row.name;
        EXPECT_EQ(picture->m_cOrginaalSuurus, row.stored) << row.name;
    }
    // A 20 x 20 pixel file at 144 dpi is 10 x 10 points: a 10 x 10 bitmap of the program's kind.
    const auto picture = read(png + ";1;1;");
    EXPECT_EQ(picture->m_Kujutis->size(), QSize(10, 10));
    EXPECT_EQ(picture->m_Kujutis->format(), QImage::Format_RGBA8888_Premultiplied);
    EXPECT_EQ(picture->m_Kujutis->pixel(5, 5), qRgb(0, 0, 255));
}

TEST(Picture, BitmapSizeIsBounded) {
    // One dot per metre makes a 100 x 1 strip 283464 x 2834 points; enlarging it would take
    // hundreds of megabytes for a few bytes of file, so the bitmap keeps the file's pixels.
    EXPECT_EQ(read(pngBase64(100, 1, 1) + ";5;5;")->m_Kujutis->size(), QSize(100, 1));
    EXPECT_EQ(read(pngBase64(8, 8, 1) + ";5;5;")->m_Kujutis->size(), QSize(8, 8));
    EXPECT_EQ(read(pngBase64(1, 1, k144Dpi) + ";5;5;")->m_Kujutis->size(), QSize(1, 1));
    const struct {
        const char* name;
        QSizeF points;
        QSize pixels;
    } rows[] = {{"truncated", {10.9, 3.2}, {10, 3}},
                {"below one point", {0.4, 0}, {1, 1}},
                {"negative", {-5, 2}, {1, 2}},
                {"side limit", {40000, 100}, {16384, 40}},
                {"pixel limit", {1e9, 1e9}, {8192, 8192}},
                {"not a number", {qQNaN(), 7}, {1, 7}},
                {"infinite", {qInf(), 7}, {16384, 1}}};
    for (const auto& row : rows)
        EXPECT_EQ(bitmapSizeForPoints(row.points), row.pixels) << row.name;
}

TEST(Picture, TokenRoundTrips) {
    const auto original = read(pngBase64(30, 12, 3780, Qt::green) + ";37.5;120.0;");
    const QString token = original->TooSone();
    ASSERT_TRUE(token.startsWith("{P ") && token.endsWith(";37.5;120.0;}"));
    const auto back = read(token.mid(3, token.size() - 4));
    ASSERT_TRUE(back->m_Kujutis);
    EXPECT_EQ(back->m_cOrginaalSuurus, original->m_cOrginaalSuurus);
    EXPECT_EQ(back->m_Kujutis->size(), QSize(22, 9));
    EXPECT_EQ(back->m_Kujutis->pixel(3, 3), qRgb(0, 255, 0));
    // A picture without a bitmap still writes a token whose numbers keep their places.
    const QString broken = read("!!!!;12;34;")->TooSone();
    EXPECT_EQ(read(broken.mid(3, broken.size() - 4))->m_cOrginaalSuurus, QSizeF(12, 34));
}
