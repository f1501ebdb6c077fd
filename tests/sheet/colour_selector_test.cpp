#include "sheet/colour_selector.h"

#include <gtest/gtest.h>

// Colours of every hue sector (magenta wraps round below red), dark and
// light ones (the two saturation formulas) and greys come back from HSL
// unchanged, and the track bar's ends are black and white for each.
TEST(ColourSelector, ColoursRoundTripThroughHslAndTheTrackBarEndsInBlackAndWhite)
{
    for (COLORREF colour : {0x0000FFu, 0x00FF00u, 0xFF0000u, 0xFF00FFu, 0xFF8000u, 0x80FCF8u, 0x0080FFu,
                            0x900000u, 0x95C7C8u, 0x404000u, 0x004080u, 0x80FC80u, 0x808080u, 0x000000u}) {
        const Hsl hsl = ColorToHSL(colour);
        EXPECT_EQ(colour, HSLToColor(hsl.hue, hsl.saturation, hsl.lightness)) << std::hex << colour;
        EXPECT_EQ(0x000000u, ColorAtLightness(colour, 0)) << std::hex << colour;
        EXPECT_EQ(0xFFFFFFu, ColorAtLightness(colour, 240)) << std::hex << colour;
    }
    // Pure blue has lightness 0.5: position 120, and back unchanged.
    EXPECT_EQ(120, LightnessPosition(0x0000FF));
    EXPECT_EQ(0x0000FFu, ColorAtLightness(0x0000FF, 120));
    EXPECT_EQ(240, LightnessPosition(0xFFFFFF));
    // 0x80FCF8 has lightness 0.745: position 178 gives a slightly darker colour.
    EXPECT_EQ(178, LightnessPosition(0x80FCF8));
    EXPECT_EQ(0x7EFBF7u, ColorAtLightness(0x80FCF8, 178));
    EXPECT_EQ(0x7F7F7Fu, ColorAtLightness(0xFFFFFF, 120)) << "white has no saturation: half way is grey";
    EXPECT_EQ(0x003F7Fu, ColorAtLightness(0x004080, LightnessPosition(0x004080))) << "lost to truncation";
}
