#include "sheet/colour_selector.h"

#include <gtest/gtest.h>

// Hue follows the strongest channel (magenta lies below red and wraps round
// to 5/6); colours of each sector with all three channels apart, and a dark
// and a light one (the two saturation formulas), come back from HSL
// unchanged; the track bar's ends are black and white for any colour.
TEST(ColourSelector, ColoursRoundTripThroughHslAndTheTrackBarEndsInBlackAndWhite)
{
    const struct {
        COLORREF colour;
        double hue;
    } hues[] = {{0x0000FF, 0.0}, {0x00FF00, 1.0 / 3}, {0xFF0000, 2.0 / 3}, {0xFF00FF, 5.0 / 6}, {0x808080, 0.0}};
    for (const auto& h : hues)
        EXPECT_NEAR(h.hue, ColorToHSL(h.colour).hue, 1e-12) << std::hex << h.colour;
    EXPECT_DOUBLE_EQ(1.0, ColorToHSL(0x0000FF).saturation);
    EXPECT_DOUBLE_EQ(0.0, ColorToHSL(0x808080).saturation);
    for (COLORREF colour : {0x0080FFu, 0x80FCF8u, 0xFF8000u, 0x004080u, 0x80FC80u}) {
        const Hsl hsl = ColorToHSL(colour);
        EXPECT_EQ(colour, HSLToColor(hsl.hue, hsl.saturation, hsl.lightness)) << std::hex << colour;
    }
    for (COLORREF base : {0x80FCF8u, 0x0080FFu, 0x900000u, 0x95C7C8u, 0xFF0080u, 0x404000u, 0x000000u}) {
        EXPECT_EQ(0x000000u, ColorAtLightness(base, 0)) << std::hex << base;
        EXPECT_EQ(0xFFFFFFu, ColorAtLightness(base, 240)) << std::hex << base;
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
