#include "platform/canvas.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

// The bounds of the dark pixels that `draw` leaves on a white 300 x 60 page at `dotsPerMeter`.
template <typename Draw> QRect ink(int dotsPerMeter, Draw draw) {
    QImage image(300, 60, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    Canvas canvas(painter);
    draw(canvas);
    painter.end();
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 160)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

} // namespace

// Dashes are checked where they are used: the caret's frame around a picture, in the drawing tests.

TEST(Canvas, TextSitsOnTheMeasuredBaselineAtEveryDeviceResolution) {
    const Font font = *fontWithName("Arial", 20);
    const QSizeF size = textSize("HHHHHHHH", font);
    const auto text = [&](int dpm, TextDecoration d) {
        return ink(dpm, [&](Canvas& c) { c.drawText("HHHHHHHH", {20, 10}, font, Colour::black(), d); });
    };
    const QRect plain = text(3780, TextDecoration::None);
    // Capital H stands on the baseline, and the run ends within its advance.
    EXPECT_NEAR(plain.bottom() + 1, 10 + size.height() + fontDescender(font), 1.0);
    EXPECT_NEAR(plain.left(), 20, 3);
    EXPECT_NEAR(plain.right() + 1, 20 + size.width(), 3);
    EXPECT_EQ(text(7559, TextDecoration::None), plain);
    EXPECT_GT(text(3780, TextDecoration::Underline).bottom(), plain.bottom());
}

TEST(Canvas, EmptyAndHugeFontsAreHarmless) {
    // At a billion percent one glyph is far larger than the page, and drawing still returns. It is
    // white and drawn first, so it cannot hide ink from the empty font.
    EXPECT_FALSE(ink(3780, [](Canvas& c) {
                     c.drawText("H", {-1e10, -1e10}, *fontWithName("Arial", 1.5e10), Colour::white());
                     c.drawText("abc", {5, 5}, *fontWithName("Arial", 0), Colour::black());
                 }).isValid());
}
