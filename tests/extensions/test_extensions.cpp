#include "extensions/extensions.h"

#include <gtest/gtest.h>

TEST(ColourCodec, ReadsColourTexts) {
    const Colour orange{1.0, 128 / 255.0, 0.0, 1.0};
    for (const char* text : {"  \t#FF8000\n", "ff8000", "0xff8000", "#80ff8000", "#ff8000zz"})
        EXPECT_EQ(colourFromHexString(text), orange) << text;
    for (const char* text : {"", "#", "#xyz", "##ff8000"})
        EXPECT_EQ(colourFromHexString(text), Colour::black()) << text;
    EXPECT_EQ(colourFromHexString("#fff"), (Colour{0, 15 / 255.0, 1, 1}));
    // Too many digits saturate rather than wrap.
    EXPECT_EQ(colourFromHexString("#123456789"), Colour::white());
}

TEST(ColourCodec, WritesColourTexts) {
    // Components are truncated and clamped, and alpha is dropped.
    EXPECT_EQ(hexStringFromColour({0.5, 0.5, 0.5, 0.2}), "#7f7f7f");
    EXPECT_EQ(hexStringFromColour({-1.0, 2.0, qQNaN(), 1.0}), "#00ff00");
    for (int byte = 0; byte < 256; ++byte) {
        const QString text = QStringLiteral("#%1%1%1").arg(byte, 2, 16, QLatin1Char('0'));
        EXPECT_EQ(hexStringFromColour(colourFromHexString(text)), text);
    }
}

// Messages going to an installed handler are checked where files fail to open.
TEST(MessageBox, DoesNotBlockWithoutADisplay) {
    // Offscreen and without a handler, the call must still return.
    testing::internal::CaptureStderr();
    EXPECT_TRUE(DialoogOK("Viga", "Faili formaat ei sobi!"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Viga: Faili formaat ei sobi!"), std::string::npos);
}
