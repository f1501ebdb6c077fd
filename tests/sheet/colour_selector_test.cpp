#include "sheet/colour_selector.h"

#include <gtest/gtest.h>

TEST(ColourSelector, HslRoundTripsThroughTheTrackBar)
{
    // Pure blue: lightness 0.5, position 120, and back unchanged.
    EXPECT_EQ(120, LightnessPosition(0x0000FF));
    EXPECT_EQ(0x0000FFu, ColorAtLightness(0x0000FF, LightnessPosition(0x0000FF)));
    EXPECT_EQ(240, LightnessPosition(0xFFFFFF));
    EXPECT_EQ(0xFFFFFFu, ColorAtLightness(0xFFFFFF, 240));
    // 0x80FCF8 has lightness 0.745: position 178 gives a slightly darker colour.
    EXPECT_EQ(178, LightnessPosition(0x80FCF8));
    EXPECT_EQ(0x7EFBF7u, ColorAtLightness(0x80FCF8, 178));
    // White has no saturation: half way is a grey of 127.
    EXPECT_EQ(0x7F7F7Fu, ColorAtLightness(0xFFFFFF, 120));
}

TEST(ColourSelector, TheEndsOfTheTrackBarAreBlackAndWhiteForAnyColour)
{
    for (COLORREF base : {0x80FCF8u, 0x0080FFu, 0x900000u, 0x95C7C8u, 0xFF0080u, 0x404000u, 0x000000u}) {
        EXPECT_EQ(0x000000u, ColorAtLightness(base, 0)) << std::hex << base;
        EXPECT_EQ(0xFFFFFFu, ColorAtLightness(base, 240)) << std::hex << base;
    }
}

TEST(ColourSelector, HueFollowsTheStrongestChannel)
{
    const Hsl red = ColorToHSL(0x0000FF), green = ColorToHSL(0x00FF00), blue = ColorToHSL(0xFF0000);
    EXPECT_DOUBLE_EQ(0.0, red.hue);
    EXPECT_NEAR(1.0 / 3, green.hue, 1e-12);
    EXPECT_NEAR(2.0 / 3, blue.hue, 1e-12);
    EXPECT_DOUBLE_EQ(1.0, red.saturation);
    // Magenta lies below red on the circle and wraps round to 5/6.
    EXPECT_NEAR(5.0 / 6, ColorToHSL(0xFF00FF).hue, 1e-12);
    const Hsl grey = ColorToHSL(0x808080);
    EXPECT_DOUBLE_EQ(0.0, grey.saturation);
    EXPECT_DOUBLE_EQ(0.0, grey.hue);
    // A dark and a light colour use the two saturation formulas and come
    // back unchanged; through the track bar the dark one loses to truncation.
    for (COLORREF colour : {0x004080u, 0x80FC80u}) {
        const Hsl hsl = ColorToHSL(colour);
        EXPECT_EQ(colour, HSLToColor(hsl.hue, hsl.saturation, hsl.lightness)) << std::hex << colour;
    }
    EXPECT_EQ(0x003F7Fu, ColorAtLightness(0x004080, LightnessPosition(0x004080)));
}
