#include "platform/canvas.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

QImage page(int w, int h, int dotsPerMeter = 3780) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    return image;
}

bool isInk(QRgb pixel) {
    return qGray(pixel) < 160;
}

QRect inkBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (isInk(image.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

template <typename Draw> QImage drawn(QImage image, Draw draw) {
    QPainter painter(&image);
    Canvas canvas(painter);
    draw(canvas);
    return image;
}

} // namespace

TEST(Canvas, DashesAreFiveOnFiveOff) {
    const QImage image = drawn(page(40, 20), [](Canvas& c) {
        c.setAntialiasing(false);
        c.strokeSegments({QLineF(0, 10.5, 40, 10.5)}, Colour::black(), LineDash::FiveOnFiveOff);
    });
    for (int x = 0; x < 40; ++x)
        EXPECT_EQ(isInk(image.pixel(x, 10)), (x / 5) % 2 == 0) << "x = " << x;
}

TEST(Canvas, DrawsTheWholeImageIntoTheRectangleUnderATransform) {
    QImage source(2, 2, QImage::Format_RGBA8888);
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(0, 0, 0)};
    for (int i = 0; i < 4; ++i)
        source.setPixel(i % 2, i / 2, colours[i]);
    const QImage image = drawn(page(40, 40), [&](Canvas& c) {
        c.save();
        c.translate(10, 10);
        c.scale(2, 2);
        c.drawImage(QRectF(0, 0, 10, 10), source);
        c.restore();
        c.fillRect(QRectF(0, 0, 2, 1), {1, 0, 0, 1}); // after restore: untransformed
    });
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(image.pixel(11 + 17 * (i % 2), 11 + 17 * (i / 2)), colours[i]) << i;
    EXPECT_EQ(image.pixel(30, 30), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(1, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(2, 0), qRgb(255, 255, 255));
}

TEST(Canvas, TextSitsOnTheMeasuredBaselineAtEveryDeviceResolution) {
    const Font font = *fontWithName("Arial", 20);
    const QSizeF size = textSize("HHHHHHHH", font);
    auto draw = [&](Canvas& c) { c.drawText("HHHHHHHH", QPointF(20, 10), font, Colour::black()); };
    const QRect ink = inkBounds(drawn(page(300, 60), draw));
    // Capital H stands on the baseline, and the run ends within its advance.
    EXPECT_NEAR(ink.bottom() + 1, 10 + size.height() + fontDescender(font), 1.0);
    EXPECT_NEAR(ink.left(), 20, 3);
    EXPECT_NEAR(ink.right() + 1, 20 + size.width(), 3);
    EXPECT_EQ(inkBounds(drawn(page(300, 60, 7559), draw)), ink);
}

TEST(Canvas, UnderlineGoesBelowTheBaseline) {
    const Font font = *fontWithName("Arial", 20);
    auto text = [&](TextDecoration d) {
        return drawn(page(100, 40), [&](Canvas& c) { c.drawText("ooo", {}, font, Colour::black(), d); });
    };
    EXPECT_GT(inkBounds(text(TextDecoration::Underline)).bottom(),
              inkBounds(text(TextDecoration::None)).bottom());
}

TEST(Canvas, EmptyAndHugeFontsAreHarmless) {
    const QImage nothing = drawn(page(50, 50), [&](Canvas& c) {
        c.drawText("abc", QPointF(5, 5), *fontWithName("Arial", 0), Colour::black());
    });
    EXPECT_FALSE(inkBounds(nothing).isValid());
    // A zoom of a billion percent: one glyph far larger than the page, and drawing returns.
    const Font huge = *fontWithName("Arial", 1.5e10);
    drawn(page(50, 50), [&](Canvas& c) { c.drawText("H", QPointF(-1e10, -1e10), huge, Colour::black()); });
}
