// Drawing helpers shared by the program's own look: rounded pop-ups and
// panels, bitmaps and the one font face. They hold no state.
#pragma once
#include <windows.h>

// An outer colour meaning "no outer line" for DrawRoundFrame.
constexpr COLORREF NO_OUTER_LINE = 12345678;

// Tahoma (or, where it is missing, another sans-serif face) of the given
// weight and cell height, ClearType quality when clearType is 1. The caller
// deletes it.
HFONT CreateAppFont(int weight, int height, int clearType);

// Cuts a stepped corner from each corner of region, which covers the
// window's client rectangle; the caller then gives it to SetWindowRgn.
void ClipWindowCorners(HWND window, HRGN region);

// The closed outline along the same stepped corners, with the selected pen.
void DrawRoundOutline(HDC dc, int left, int top, int right, int bottom);

// Paints a pop-up's card while it lives: begins the paint, fills the client
// area with face, lays a title band bandHeight high across the top when band
// is given and draws the rounded outline in the outline pen. What is drawn
// on dc meanwhile lies on top; the paint ends with the object.
class CardPaint {
public:
    CardPaint(HWND window, HBRUSH face, HPEN outline, HBITMAP band = nullptr, int bandHeight = 0);
    ~CardPaint();
    CardPaint(const CardPaint&) = delete;
    CardPaint& operator=(const CardPaint&) = delete;

    HDC dc;
    RECT client;

private:
    HWND window;
    PAINTSTRUCT paint;
};
// A card's title: white text centred on its band.
void DrawCardTitle(HDC dc, const RECT& client, HFONT font, const wchar_t* title);

// A rounded panel: outer line, then an inner line inset by one pixel, both
// filled with the selected brush. With NO_OUTER_LINE only the inner one is
// drawn, on the full rectangle.
void DrawRoundFrame(HDC dc, int left, int top, int right, int bottom, int cornerSize,
                    COLORREF inner, COLORREF outer);

// The whole bitmap, stretched into the rectangle or at its own size. A
// missing bitmap draws nothing.
void StretchBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height);
void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y);
