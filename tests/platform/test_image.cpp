#include "platform/image.h"
#include "platform/strings.h"

#include "testsupport.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>

namespace {

QByteArray saved(int w, int h, auto dotsPerMeter, const char* format) {
    return imageFile(w, h, dotsPerMeter, format, Qt::darkCyan);
}

// `bytes` with `patch` written at `offset` bytes after the first occurrence of `marker`.
QByteArray patched(QByteArray bytes, const QByteArray& marker, int offset, const QByteArray& patch) {
    return bytes.replace(bytes.indexOf(marker) + offset, patch.size(), patch);
}

// A JPEG (progressive when asked) whose frame header claims w x h pixels, with a comment that makes the
// file `length` bytes long.
QByteArray jpegClaiming(int w, int h, bool progressive, int length = 0) {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    const char size[] = {char(h >> 8), char(h), char(w >> 8), char(w)};
    bytes = patched(bytes, progressive ? QByteArray("\xFF\xC2", 2) : QByteArray("\xFF\xC0", 2), 5,
                    QByteArray(size, 4));
    for (int rest = length - int(bytes.size()); rest > 4;) {
        const int segment = std::min(rest, 65535 + 2);
        const char header[] = {char(0xFF), char(0xFE), char((segment - 2) >> 8), char(segment - 2)};
        bytes.insert(2, QByteArray(header, 4) + QByteArray(segment - 4, ' '));
        rest -= segment;
    }
    return bytes;
}

} // namespace

TEST(Base64, IsStrict) {
    EXPECT_EQ(decodeBase64Strict(u"TWFuTQ=="), QByteArray("ManM"));
    for (const char16_t* bad :
         {u"TWFu\nTWFu", u"TWFu\n", u"TW Fu", u"TQ", u"T===", u"TQ==TWFu", u"TW-_", u"TWF\u00fc"})
        EXPECT_FALSE(decodeBase64Strict(bad)) << QString::fromUtf16(bad).toStdString();
}

TEST(DecodeImage, SizeInPointsFollowsTheRecordedResolution) {
    const QByteArray png144 = saved(20, 20, 5669, "PNG");
    const QByteArray jpeg = saved(30, 20, 3780, "JPEG");
    const QByteArray jfif("JFIF\0", 5);
    // Sizes compare fuzzily but closely: 5669 dots per metre must read back as exactly 144 dpi.
    const std::tuple<const char*, QByteArray, QSizeF> rows[] = {
        {"PNG at 144 dpi", png144, {10, 10}},
        {"PNG at 25.4 dpi", saved(30, 12, 1000, "PNG"), {30 * 72 / 25.4, 12 * 72 / 25.4}},
        {"PNG with aspect only", patched(png144, "pHYs", 12, QByteArray(1, 0)), {20, 20}},
        {"PNG at 72 dpi across, 144 down", saved(20, 20, QSize(2835, 5669), "PNG"), {20, 10}},
        {"JPEG in dpi", patched(jpeg, jfif, 7, QByteArray("\1\0\220\0\220", 5)), {15, 10}},
        {"JPEG in dpcm", patched(jpeg, jfif, 7, QByteArray("\2\0\44\0\44", 5)), {30 / 1.27, 20 / 1.27}},
        {"JPEG with aspect only", patched(jpeg, jfif, 7, QByteArray("\0\0\1\0\1", 5)), {30, 20}},
        {"JPEG at 144 dpi by 72", patched(jpeg, jfif, 7, QByteArray("\1\0\220\0\110", 5)), {15, 20}},
        {"BMP in pixels per metre", saved(30, 20, 5669, "BMP"), {15, 10}},
        {"BMP at 144 dpi across, 72 down", saved(30, 20, QSize(5669, 2835), "BMP"), {15, 20}},
        {"BMP recording nothing", saved(30, 20, 5669, "BMP").replace(38, 8, QByteArray(8, 0)), {30, 20}},
    };
    for (const auto& [name, bytes, points] : rows)
        EXPECT_EQ(decodeImage(bytes).value_or(DecodedImage{}).sizeInPoints, points) << name;
    for (const auto& bytes : {QByteArray(), QByteArray("hello"), png144.left(30), QByteArray(99, '\xff')})
        EXPECT_FALSE(decodeImage(bytes)) << bytes.size();
}

// Beyond the pixels asked for an image is decoded scaled down, keeping the whole image's size in
// points; beyond Qt's allocation limit (lowered here to 1 MB, so that a 4 MB image stands in for a
// photo of 40 megapixels) it is decoded all the same.
TEST(DecodeImage, LargeImagesAreDecodedScaledDown) {
    const int previousLimit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(1);
    const QByteArray png72 = saved(1000, 1000, 2835, "PNG"), png144 = saved(1000, 1000, 5669, "PNG");
    const QByteArray jpeg = saved(800, 400, 2835, "JPEG"), tall = saved(3, 20000, 2835, "PNG");
    // The name, the file, the pixels asked for, the file's pixels, the decoded pixels and the points.
    const std::tuple<const char*, QByteArray, qint64, QSize, QSize, QSizeF> rows[] = {
        {"PNG beyond the allocation limit", png72, 1 << 20, {1000, 1000}, {1000, 1000}, {1000, 1000}},
        {"PNG at 144 dpi, scaled", png144, 10000, {1000, 1000}, {100, 100}, {500, 500}},
        {"JPEG, scaled as it is read", jpeg, 20000, {800, 400}, {200, 100}, {800, 400}},
        {"within the bound", saved(30, 20, 2835, "BMP"), 600, {30, 20}, {30, 20}, {30, 20}},
        {"longer than a bitmap's side", tall, 1 << 30, {3, 20000}, {2, 16384}, {3, 20000}},
    };
    for (const auto& [name, bytes, maxPixels, fileSize, pixels, points] : rows) {
        const DecodedImage image = decodeImage(bytes, maxPixels).value_or(DecodedImage{});
        EXPECT_EQ(image.pixels.size(), pixels) << name;
        EXPECT_EQ(image.sizeInPoints, points) << name;
        EXPECT_EQ(readImageHeader(bytes).size, fileSize) << name;
    }
    EXPECT_EQ(QImageReader::allocationLimit(), 1);
    QImageReader::setAllocationLimit(previousLimit);
}

// libpng writes its errors straight to standard error; a picture that does not decode says nothing.
TEST(DecodeImage, BrokenImagesDecodeQuietly) {
    QByteArray broken = saved(8, 8, 2835, "PNG");
    broken[broken.indexOf("IDAT") + 6] ^= 0x55;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(decodeImage(broken));
    EXPECT_FALSE(decodeImage(broken.left(30)));
    (void)readImageHeader(broken.left(40));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(FormatShortestDouble, ReadsBackExactly) {
    QStringList texts;
    for (double value :
         {120.0, 1e20, 5e-324, -0.0, 0.0001, 0.00001, 1.0 / 3, 0x1p53 - 1, 0x1p53, qInf(), -qInf()}) {
        texts << formatShortestDouble(value);
        const double back = lenientDouble(texts.back());
        EXPECT_TRUE(back == value && std::signbit(back) == std::signbit(value)) << texts.back().toStdString();
    }
    EXPECT_EQ(texts.join(' '), "120.0 1e+20 5e-324 -0.0 0.0001 1e-05 0.3333333333333333 9007199254740991.0 "
                               "9.007199254740992e+15 1e+999 -1e+999");
}

// Decoding handles the whole image however small the result, except a sequential JPEG, decoded at
// the largest of its halvings that is still as large as asked for. What would take more work than
// one decoding may is not decoded at all: a few hundred bytes can claim billions of pixels.
TEST(DecodeImage, WorkFollowsTheWholeImage) {
    const QByteArray svg = "<svg xmlns='http://www.w3.org/2000/svg' width='100000' height='100000'/>";
    // 64 million pixels in at least 7752 bytes.
    const int nPikkus = 10000;
    const std::tuple<const char*, QByteArray, qint64, qint64> rows[] = {
        {"PNG", saved(100, 50, 2835, "PNG"), 10, 5000},
        {"JPEG at full size", jpegClaiming(8000, 8000, false, nPikkus), 64000000, 64000000},
        {"JPEG halved", jpegClaiming(8000, 8000, false, nPikkus), 16000000, 16000000},
        {"JPEG quartered", jpegClaiming(8000, 8000, false, nPikkus), 2000000, 4000000},
        {"JPEG at an eighth", jpegClaiming(8000, 8000, false, nPikkus), 1, 1000000},
        {"progressive JPEG", jpegClaiming(8000, 8000, true, nPikkus), 1, 64000000},
        {"drawing", svg, 1000000, 1000000},
        {"more pixels than its bytes hold", jpegClaiming(8000, 8000, false, 7000), 1, INT64_MAX},
        {"no image", "GIF8", 1, 0},
    };
    for (const auto& [name, bytes, maxPixels, work] : rows)
        EXPECT_EQ(decodingWork(readImageHeader(bytes), maxPixels), work) << name;

    EXPECT_TRUE(decodeImage(jpegClaiming(100, 100, true), 1 << 20));
    EXPECT_FALSE(decodeImage(jpegClaiming(20000, 20000, true, 60000), 1 << 20));
    EXPECT_FALSE(decodeImage(jpegClaiming(3000, 3000, true), 1 << 20));
    EXPECT_TRUE(decodeImage(svg, 1 << 20));
}

// Qt's PNG reader, asked to scale while it decodes, turns a two-colour palette into black or white.
TEST(DecodeImage, TwoColourPicturesKeepTheirColoursWhenScaledDown) {
    QImage image(400, 200, QImage::Format_Mono);
    image.setColorTable({qRgb(4, 100, 50), qRgb(255, 255, 255)});
    image.fill(0);
    image.setDotsPerMeterX(2835);
    image.setDotsPerMeterY(2835);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 100; ++x)
            image.setPixel(x, y, 1);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG"));
    // Halved, and reduced twentyfold.
    for (const qint64 maxPixels : {qint64(20000), qint64(200)}) {
        const DecodedImage decoded = decodeImage(bytes, maxPixels).value_or(DecodedImage{});
        const QSize size = decoded.pixels.size();
        ASSERT_LE(qint64(size.width()) * size.height(), maxPixels);
        ASSERT_EQ(size.width(), 2 * size.height());
        EXPECT_EQ(decoded.pixels.pixel(size.width() - 1, size.height() / 2), qRgb(4, 100, 50)) << maxPixels;
        EXPECT_EQ(decoded.pixels.pixel(0, size.height() / 2), qRgb(255, 255, 255)) << maxPixels;
        EXPECT_EQ(decoded.sizeInPoints, QSizeF(400, 200));
    }
}
