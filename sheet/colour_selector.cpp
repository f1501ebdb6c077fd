#include "sheet/colour_selector.h"

#include "base/app_handles.h"
#include "base/drawing.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <algorithm>
#include <initializer_list>

namespace {

constexpr COLORREF PRESETS[] = {
    0x80FCF8, 0x00FFFF, 0x0080FF, 0xF8FC80, 0xF88000, 0x900000,
    0x8080FF, 0x0000FF, 0x000080, 0x80FC80, 0x00FF00, 0x008000,
    0x95C7C8, 0x008080, 0x004080, 0xFF8080, 0xF800F8, 0x400080,
    0x808040, 0xFF0080, 0x400040, 0x404000, 0xFFFFFF, 0x000000,
};
constexpr int PRESET_COUNT = IDC_COLOUR_PRESET_LAST - IDC_COLOUR_PRESET_FIRST + 1;
static_assert(sizeof PRESETS / sizeof PRESETS[0] == PRESET_COUNT, "one colour per preset swatch");
constexpr int TITLE_BAND_HEIGHT = 18;

// The open selector: one at a time, since it is modal.
struct Selector {
    COLORREF initial;
    COLORREF base;
    COLORREF preview;
    HBRUSH presetBrushes[PRESET_COUNT];
    HBRUSH previewBrush;
    HBRUSH white;
    HPEN outline;
    HFONT titleFont;
    HBITMAP titleBand;
} selector;

double Channel(double p, double q, double t)
{
    if (t < 0)
        t += 1;
    if (t > 1)
        t -= 1;
    if (6 * t < 1)
        return p + (q - p) * t * 6;
    if (2 * t < 1)
        return q;
    if (3 * t < 2)
        return p + (q - p) * (0.6666666666666666 - t) * 6;
    return p;
}

unsigned Byte(double value)
{
    return static_cast<unsigned>(value * 255) & 0xFF;
}

void Recompute(HWND dialog)
{
    const int position = static_cast<int>(SendDlgItemMessageW(dialog, IDC_COLOUR_LIGHTNESS, TBM_GETPOS, 0, 0));
    selector.preview = ColorAtLightness(selector.base, position);
    if (selector.previewBrush)
        DeleteObject(selector.previewBrush);
    selector.previewBrush = CreateSolidBrush(selector.preview);
    InvalidateRect(GetDlgItem(dialog, IDC_COLOUR_PREVIEW), nullptr, TRUE);
}

void OnInitDialog(HWND dialog)
{
    SendDlgItemMessageW(dialog, IDC_COLOUR_LIGHTNESS, TBM_SETRANGE, TRUE, MAKELPARAM(0, LIGHTNESS_STEPS));
    selector.base = selector.preview = selector.initial;
    SendDlgItemMessageW(dialog, IDC_COLOUR_LIGHTNESS, TBM_SETPOS, TRUE, LightnessPosition(selector.initial));
    RECT client;
    GetClientRect(dialog, &client);
    if (HRGN region = CreateRectRgn(0, 0, client.right, client.bottom)) {
        ClipWindowCorners(dialog, region);
        if (!SetWindowRgn(dialog, region, TRUE))
            DeleteObject(region);
    }
    for (int i = 0; i < PRESET_COUNT; ++i)
        selector.presetBrushes[i] = CreateSolidBrush(PRESETS[i]);
    selector.previewBrush = CreateSolidBrush(selector.preview);
    selector.white = CreateSolidBrush(0xFFFFFF);
    selector.outline = CreatePen(PS_SOLID, 2, 0x000000);
    selector.titleFont = CreateAppFont(700, 13, 0);
    selector.titleBand = LoadBitmapW(AppInstance(), MAKEINTRESOURCEW(IDB_COLOR_TITLE_BAND));
}

void OnDestroy()
{
    for (HBRUSH& brush : selector.presetBrushes) {
        DeleteObject(brush);
        brush = nullptr;
    }
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(selector.previewBrush), static_cast<HGDIOBJ>(selector.white),
                           static_cast<HGDIOBJ>(selector.outline), static_cast<HGDIOBJ>(selector.titleFont),
                           static_cast<HGDIOBJ>(selector.titleBand)})
        if (object)
            DeleteObject(object);
    selector.previewBrush = selector.white = nullptr;
    selector.outline = nullptr;
    selector.titleFont = nullptr;
    selector.titleBand = nullptr;
}

void OnPaint(HWND dialog)
{
    CardPaint card(dialog, selector.white, selector.outline, selector.titleBand, TITLE_BAND_HEIGHT);
    DrawCardTitle(card.dc, card.client, selector.titleFont, L"Color Selector");
}

INT_PTR CALLBACK SelectorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_PAINT:
        OnPaint(dialog);
        return TRUE;
    case WM_CTLCOLORSTATIC: {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        if (id == IDC_COLOUR_PREVIEW)
            return reinterpret_cast<INT_PTR>(selector.previewBrush);
        if (id >= IDC_COLOUR_PRESET_FIRST && id <= IDC_COLOUR_PRESET_LAST)
            return reinterpret_cast<INT_PTR>(selector.presetBrushes[id - IDC_COLOUR_PRESET_FIRST]);
        // The track bar sits on the white card.
        return reinterpret_cast<INT_PTR>(selector.white);
    }
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, IDC_COLOUR_LIGHTNESS))
            Recompute(dialog);
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id >= IDC_COLOUR_PRESET_FIRST && id <= IDC_COLOUR_PRESET_LAST) {
            selector.base = PRESETS[id - IDC_COLOUR_PRESET_FIRST];
            SendDlgItemMessageW(dialog, IDC_COLOUR_LIGHTNESS, TBM_SETPOS, TRUE, LightnessPosition(selector.base));
            Recompute(dialog);
        } else if (id == IDC_COLOUR_OK) {
            EndDialog(dialog, 1);
        } else if (id == IDC_COLOUR_CANCEL || id == IDOK || id == IDCANCEL) {
            EndDialog(dialog, 0);
        }
        return TRUE;
    }
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

Hsl ColorToHSL(COLORREF colour)
{
    const double r = GetRValue(colour) * 0.00392156862745098;
    const double g = GetGValue(colour) * 0.00392156862745098;
    const double b = GetBValue(colour) * 0.00392156862745098;
    const double most = std::max(r, std::max(g, b));
    const double least = std::min(r, std::min(g, b));
    Hsl hsl = {0, 0, (most + least) * 0.5};
    if (most == least)
        return hsl;
    const double span = most - least;
    hsl.saturation = hsl.lightness < 0.5 ? span / (most + least) : span / (2 - most - least);
    if (r == most)
        hsl.hue = (g - b) / span;
    else if (g == most)
        hsl.hue = 2 + (b - r) / span;
    else
        hsl.hue = 4 + (r - g) / span;
    hsl.hue *= 0.16666666666666666;
    if (hsl.hue < 0)
        hsl.hue += 1;
    return hsl;
}

COLORREF HSLToColor(double hue, double saturation, double lightness)
{
    double r = lightness, g = lightness, b = lightness;
    if (saturation != 0) {
        const double q = lightness <= 0.5 ? lightness * (1 + saturation)
                                          : lightness + saturation - lightness * saturation;
        const double p = 2 * lightness - q;
        r = Channel(p, q, hue + 0.3333333333333333);
        g = Channel(p, q, hue);
        b = Channel(p, q, hue - 0.3333333333333333);
    }
    return Byte(r) | Byte(g) << 8 | Byte(b) << 16;
}

COLORREF ColorAtLightness(COLORREF base, int position)
{
    const Hsl hsl = ColorToHSL(base);
    return HSLToColor(hsl.hue, hsl.saturation, position * 0.004166666666666667);
}

int LightnessPosition(COLORREF colour)
{
    return static_cast<int>(ColorToHSL(colour).lightness * LIGHTNESS_STEPS);
}

COLORREF SelectColor(HWND owner, COLORREF initial)
{
    selector.initial = initial;
    selector.preview = initial;
    const INT_PTR chosen =
        DialogBoxParamW(AppInstance(), MAKEINTRESOURCEW(IDD_COLOUR_SELECTOR), owner, SelectorProc, 0);
    return chosen == 1 ? selector.preview : initial;
}
