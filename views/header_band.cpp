#include "views/header_band.h"

#include "platform/shell/aygshell.h"
#include "base/drawing.h"
#include "views/view_bitmaps.h"
#include "views/find_bar.h"

namespace {

constexpr COLORREF BAND_GREY = 0x5A5A5A;
constexpr COLORREF FIND_BAR_YELLOW = 0xADFFFF;
constexpr COLORREF ACTIVE_FACE = 0xFFFF85;
constexpr COLORREF ACTIVE_EDGE = 0x00DE47;
constexpr COLORREF IDLE_FACE = 0xC6CEDE;
constexpr COLORREF IDLE_EDGE = 0x848484;
constexpr COLORREF TRANSPARENT_MAGENTA = 0xFF00FF;

void FillColour(HDC dc, const RECT& rect, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void DrawTransparent(HDC dc, HBITMAP bitmap, int x, int y, int width, int height)
{
    if (bitmap)
        TransparentImage(dc, x, y, width, height, bitmap, 0, 0, width, height, TRANSPARENT_MAGENTA);
}

// A find-mode button: face, then a closed outline through its corners.
void DrawModeButton(HDC dc, const RECT& button, bool current, HBITMAP picture)
{
    FillColour(dc, button, current ? ACTIVE_FACE : IDLE_FACE);
    HPEN pen = CreatePen(PS_SOLID, current ? 2 : 1, current ? ACTIVE_EDGE : IDLE_EDGE);
    HGDIOBJ old = SelectObject(dc, pen);
    const POINT outline[5] = {
        {button.left, button.top}, {button.right, button.top}, {button.right, button.bottom},
        {button.left, button.bottom}, {button.left, button.top},
    };
    Polyline(dc, outline, 5);
    SelectObject(dc, old);
    DeleteObject(pen);
    DrawTransparent(dc, picture, button.left + 2, button.top + 2, 16, 15);
}

} // namespace

void PaintHeaderBand(HWND window, HDC dc)
{
    RECT client;
    GetClientRect(window, &client);
    // A pressed or released go button repaints only itself: each bitmap
    // drawn costs server calls under Wine, so parts outside the painted
    // area are left out.
    RECT painted;
    if (GetClipBox(dc, &painted) == ERROR)
        painted = client;
    // (An outline may reach two pixels past its part.)
    auto needed = [&painted](RECT part) {
        InflateRect(&part, 2, 2);
        RECT overlap;
        return IntersectRect(&overlap, &painted, &part) != FALSE;
    };
    if (needed({0, 0, client.right, HEADER_BAND_HEIGHT}))
        DrawBitmap(dc, hHeaderBandBitmap, 0, 0);
    FillColour(dc, {241, 0, client.right, 17}, BAND_GREY);

    if (!findBarVisible)
        return;
    FillColour(dc, {0, 18, client.right, 41}, FIND_BAR_YELLOW);
    if (needed(FIND_BAR_CONTACTS_BUTTON))
        DrawModeButton(dc, FIND_BAR_CONTACTS_BUTTON, findMode == FIND_MODE_CONTACTS, hFindContactsBitmap);
    if (needed(FIND_BAR_ACTIVITIES_BUTTON))
        DrawModeButton(dc, FIND_BAR_ACTIVITIES_BUTTON, findMode == FIND_MODE_ACTIVITIES, hFindActivitiesBitmap);
    const RECT go = {client.right - 26, 19, client.right - 26 + GO_BUTTON_WIDTH, 19 + GO_BUTTON_HEIGHT};
    if (needed(go))
        DrawTransparent(dc, findButtonPressed ? hGoPressedBitmap : hGoBitmap, go.left, go.top, GO_BUTTON_WIDTH,
                        GO_BUTTON_HEIGHT);
}

void UpdateHeaderBand(HWND window)
{
    RECT band;
    GetClientRect(window, &band);
    band.bottom = HEADER_BAND_HEIGHT;
    InvalidateRect(window, &band, FALSE);
    UpdateWindow(window);
}
