#include "base/drawing.h"

#include "base/text.h"

// The handheld asks for character set 255. A desktop's font mapper weighs the
// character set above the face name and would swap Tahoma for an OEM raster
// font, so desktop builds let the face decide.
#ifdef UNDER_CE
constexpr BYTE APP_FONT_CHARSET = OEM_CHARSET;
#else
constexpr BYTE APP_FONT_CHARSET = DEFAULT_CHARSET;
#endif

HFONT CreateAppFont(int weight, int height, int clearType)
{
    LOGFONTW font = {};
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfCharSet = APP_FONT_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = clearType == 1 ? CLEARTYPE_QUALITY : DEFAULT_QUALITY;
    // Tahoma is a sans-serif face; saying so lets the font mapper pick
    // another sans-serif face where Tahoma is not installed.
    font.lfPitchAndFamily = FF_SWISS | DEFAULT_PITCH;
    CopyText(font.lfFaceName, L"Tahoma");
    return CreateFontIndirectW(&font);
}

// The top-left corner piece, row by row: 5, 3, 2, 1 and 1 pixels.
static const RECT cornerPiece[] = {
    {0, 0, 5, 1}, {0, 1, 3, 2}, {0, 2, 2, 3}, {0, 3, 1, 4}, {0, 4, 1, 5},
};

static void SubtractRect(HRGN region, int left, int top, int right, int bottom)
{
    HRGN piece = CreateRectRgn(left, top, right, bottom);
    if (!piece)
        return;
    CombineRgn(region, region, piece, RGN_DIFF);
    DeleteObject(piece);
}

void ClipWindowCorners(HWND window, HRGN region)
{
    RECT client;
    if (!region || !GetClientRect(window, &client))
        return;
    const int width = client.right - client.left, height = client.bottom - client.top;
    for (const RECT& r : cornerPiece) {
        SubtractRect(region, r.left, r.top, r.right, r.bottom);
        SubtractRect(region, width - r.right, r.top, width - r.left, r.bottom);
        SubtractRect(region, r.left, height - r.bottom, r.right, height - r.top);
        SubtractRect(region, width - r.right, height - r.bottom, width - r.left, height - r.top);
    }
}

void DrawRoundOutline(HDC dc, int l, int t, int r, int b)
{
    const POINT outline[25] = {
        {l + 5, t},     {l + 4, t + 1}, {l + 3, t + 1}, {l + 1, t + 3}, {l + 1, t + 4},
        {l, t + 5},     {l, b - 5},     {l + 1, b - 4}, {l + 1, b - 3}, {l + 3, b - 1},
        {l + 4, b - 1}, {l + 5, b},     {r - 6, b},     {r - 5, b - 1}, {r - 4, b - 1},
        {r - 2, b - 3}, {r - 2, b - 4}, {r - 1, b - 5}, {r - 1, t + 5}, {r - 2, t + 4},
        {r - 2, t + 3}, {r - 4, t + 1}, {r - 5, t + 1}, {r - 6, t},     {l + 5, t},
    };
    Polyline(dc, outline, 25);
}

CardPaint::CardPaint(HWND window, HBRUSH face, HPEN outline, HBITMAP band, int bandHeight)
    : dc(nullptr), client(), window(window), paint()
{
    dc = BeginPaint(window, &paint);
    GetClientRect(window, &client);
    FillRect(dc, &client, face);
    if (band)
        StretchBitmap(dc, band, 0, 0, client.right, bandHeight);
    HGDIOBJ oldPen = SelectObject(dc, outline);
    DrawRoundOutline(dc, client.left + 1, client.top + 1, client.right, client.bottom - 1);
    SelectObject(dc, oldPen);
}

CardPaint::~CardPaint()
{
    EndPaint(window, &paint);
}

void DrawCardTitle(HDC dc, const RECT& client, HFONT font, const wchar_t* title)
{
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    RECT band = {client.left, client.top + 2, client.right, client.top + 15};
    DrawTextW(dc, title, -1, &band, DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, oldFont);
}

static void RoundRectWithPen(HDC dc, int left, int top, int right, int bottom, int corner,
                             COLORREF color)
{
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ old = SelectObject(dc, pen);
    RoundRect(dc, left, top, right, bottom, corner, corner);
    SelectObject(dc, old);
    DeleteObject(pen);
}

void DrawRoundFrame(HDC dc, int left, int top, int right, int bottom, int cornerSize,
                    COLORREF inner, COLORREF outer)
{
    if (outer == NO_OUTER_LINE) {
        RoundRectWithPen(dc, left, top, right, bottom, cornerSize, inner);
        return;
    }
    RoundRectWithPen(dc, left, top, right, bottom, cornerSize, outer);
    RoundRectWithPen(dc, left + 1, top + 1, right - 1, bottom - 1, cornerSize, inner);
}

static bool BitmapSize(HBITMAP bitmap, int* width, int* height)
{
    BITMAP info;
    if (!bitmap || GetObjectW(bitmap, sizeof info, &info) != sizeof info)
        return false;
    *width = info.bmWidth;
    *height = info.bmHeight;
    return true;
}

static void CopyBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height, bool stretch)
{
    int sourceWidth = 0, sourceHeight = 0;
    if (!BitmapSize(bitmap, &sourceWidth, &sourceHeight))
        return;
    HDC source = CreateCompatibleDC(dc);
    if (!source)
        return;
    HGDIOBJ old = SelectObject(source, bitmap);
    if (stretch)
        StretchBlt(dc, x, y, width, height, source, 0, 0, sourceWidth, sourceHeight, SRCCOPY);
    else
        BitBlt(dc, x, y, sourceWidth, sourceHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

void StretchBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height)
{
    CopyBitmap(dc, bitmap, x, y, width, height, true);
}

void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y)
{
    CopyBitmap(dc, bitmap, x, y, 0, 0, false);
}
