#include "platform/image.h"

#include "testsupport.h"

#include <gtest/gtest.h>

namespace {

QByteArray saved(int w, int h, QSize dotsPerMeter, const char* format) {
    return imageFile(w, h, dotsPerMeter, format, Qt::darkCyan);
}
QByteArray saved(int w, int h, int dotsPerMeter, const char* format) {
    return saved(w, h, QSize(dotsPerMeter, dotsPerMeter), format);
}

// `bytes` with `patch` written at `offset` bytes after the first occurrence of `marker`.
QByteArray patched(QByteArray bytes, const QByteArray& marker, int offset, const QByteArray& patch) {
    return bytes.replace(bytes.indexOf(marker) + offset, patch.size(), patch);
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
        {"JPEG at 144 dpi across, 72 down",
         patched(jpeg, jfif, 7, QByteArray("\1\0\220\0\110", 5)),
         {15, 20}},
        {"BMP in pixels per metre", saved(30, 20, 5669, "BMP"), {15, 10}},
        {"BMP at 144 dpi across, 72 down", saved(30, 20, QSize(5669, 2835), "BMP"), {15, 20}},
        {"BMP recording nothing", saved(30, 20, 5669, "BMP").replace(38, 8, QByteArray(8, 0)), {30, 20}},
    };
    for (const auto& [name, bytes, points] : rows)
        EXPECT_EQ(decodeImage(bytes).value_or(DecodedImage{}).sizeInPoints, points) << name;
    for (const auto& bytes : {QByteArray(), QByteArray("hello"), png144.left(30), QByteArray(99, '\xff')})
        EXPECT_FALSE(decodeImage(bytes)) << bytes.size();
}

TEST(FormatShortestDouble, ReadsBackExactly) {
    QStringList texts;
    for (double value : {120.0, 1e20, 5e-324, -0.0, 0.0001, 0.00001, 1.0 / 3, 0x1p53 - 1, 0x1p53})
        texts << formatShortestDouble(value);
    EXPECT_EQ(texts.join(' '), "120.0 1e+20 5e-324 -0.0 0.0001 1e-05 0.3333333333333333 9007199254740991.0 "
                               "9.007199254740992e+15");
}
