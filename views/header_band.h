// The header band across the top of the main window, and the find bar below
// it while the bar is shown.
#pragma once
#include <windows.h>

constexpr int HEADER_BAND_HEIGHT = 18;

// Find bar geometry in client coordinates (right, bottom exclusive).
constexpr RECT FIND_BAR_CONTACTS_BUTTON = {4, 19, 23, 38};
constexpr RECT FIND_BAR_ACTIVITIES_BUTTON = {26, 19, 45, 38};
constexpr int GO_BUTTON_WIDTH = 22;
constexpr int GO_BUTTON_HEIGHT = 19;

void PaintHeaderBand(HWND window, HDC dc);

// Invalidates the header band and paints it at once.
void UpdateHeaderBand(HWND window);
