// The colour selector: presets and a lightness slider over HSL.
#pragma once
#include <windows.h>

// Runs the selector over owner; the chosen colour, or initial when cancelled.
COLORREF SelectColor(HWND owner, COLORREF initial);

// Hue, saturation and lightness, each from 0 to 1.
struct Hsl {
    double hue;
    double saturation;
    double lightness;
};
Hsl ColorToHSL(COLORREF colour);
COLORREF HSLToColor(double hue, double saturation, double lightness);

// The track bar's range: lightness 1 is position 240.
constexpr int LIGHTNESS_STEPS = 240;
// The colour a preset becomes at a track bar position.
COLORREF ColorAtLightness(COLORREF base, int position);
// The track bar position of a colour's lightness, truncated.
int LightnessPosition(COLORREF colour);
