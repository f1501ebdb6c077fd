#include "shell/header_band.h"

void PaintHeaderBand(HWND window, HDC dc)
{
    RECT client;
    GetClientRect(window, &client);
    // The band picture covers x 0..240; the dark grey continues it to the edge.
    HBRUSH grey = CreateSolidBrush(0x5A5A5A);
    RECT rest = {0, 0, client.right, 17};
    FillRect(dc, &rest, grey);
    DeleteObject(grey);
}
