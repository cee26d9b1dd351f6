#include "extensions.h"
#include "testsupport.h"

#include <gtest/gtest.h>

TEST(ColourCodec, ReadsColourTexts) {
    const Colour orange{1.0, 128 / 255.0, 0.0, 1.0};
    const struct {
        const char* text;
        Colour expected;
    } rows[] = {{"#ff8000", orange},
                {"ff8000", orange},
                {"  \t#FF8000\n", orange},
                {"0xff8000", orange},
                {"#80ff8000", orange},
                {"#ff8000zz", orange},
                {"#fff", {0, 15 / 255.0, 1, 1}},
                {"", Colour::black()},
                {"#", Colour::black()},
                {"#xyz", Colour::black()},
                {"##ff8000", Colour::black()},
                {"#123456789", Colour::white()}};
    for (const auto& row : rows)
        EXPECT_EQ(colourFromHexString(row.text), row.expected) << row.text;
}

TEST(ColourCodec, WritesColourTexts) {
    EXPECT_EQ(hexStringFromColour({0.5, 0.5, 0.5, 1.0}), "#7f7f7f");
    EXPECT_EQ(hexStringFromColour(Colour::black()), "#000000");
    EXPECT_EQ(hexStringFromColour({1.0, 0.0, 0.0, 0.2}), "#ff0000");
    EXPECT_EQ(hexStringFromColour({-1.0, 2.0, qQNaN(), 1.0}), "#00ff00");
    for (int byte = 0; byte < 256; ++byte) {
        const QString text = QStringLiteral("#%1%1%1").arg(byte, 2, 16, QLatin1Char('0'));
        EXPECT_EQ(hexStringFromColour(colourFromHexString(text)), text);
    }
}

TEST(MessageBox, GoesToTheInstalledHandler) {
    MessageRecorder recorder;
    EXPECT_TRUE(DialoogOK("Otsi", "Midagi ei leidnud!"));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].title, "Otsi");
    EXPECT_EQ(recorder.messages[0].text, "Midagi ei leidnud!");
}

TEST(MessageBox, DoesNotBlockWithoutADisplay) {
    // Offscreen and without a handler, the call must still return.
    testing::internal::CaptureStderr();
    EXPECT_TRUE(DialoogOK("Viga", "Faili formaat ei sobi!"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Viga: Faili formaat ei sobi!"), std::string::npos);
}
