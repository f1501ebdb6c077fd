// The header band across the top of the main window.
#pragma once
#include <windows.h>

constexpr int HEADER_BAND_HEIGHT = 18;

void PaintHeaderBand(HWND window, HDC dc);
