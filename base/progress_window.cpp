#include "base/progress_window.h"

#include "base/app_handles.h"
#include "base/drawing.h"
#include "resources/progress_window_ids.h"

#include <commctrl.h>

#include <initializer_list>

namespace {

constexpr COLORREF FACE_COLOUR = 0x0096FFFF;
constexpr COLORREF TITLE_COLOUR = 0x00960000;
constexpr int FRAME_PEN_WIDTH = 2;
constexpr int TITLE_WEIGHT = 700;
constexpr int TITLE_HEIGHT = 13;

// The program never shows two progress windows at once, so one set of
// drawing objects serves.
struct ProgressLook {
    HBRUSH face;
    HPEN frame;
    HFONT title;
} look;

const int* clearTypeSource;

void OnInitDialog(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    HRGN region = CreateRectRgn(0, 0, client.right, client.bottom);
    if (region) {
        ClipWindowCorners(window, region);
        // Once set, the region belongs to the window, which deletes it.
        if (!SetWindowRgn(window, region, TRUE))
            DeleteObject(region);
    }
    look.face = CreateSolidBrush(FACE_COLOUR);
    look.frame = CreatePen(PS_SOLID, FRAME_PEN_WIDTH, RGB(0, 0, 0));
    look.title = CreateAppFont(TITLE_WEIGHT, TITLE_HEIGHT, clearTypeSource ? *clearTypeSource : 0);
    SendDlgItemMessageW(window, IDC_PROGRESS_MAIN, WM_SETFONT, reinterpret_cast<WPARAM>(look.title), FALSE);
}

void OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, look.face);
    HGDIOBJ oldPen = SelectObject(dc, look.frame);
    DrawRoundOutline(dc, client.left + 1, client.top + 1, client.right, client.bottom - 1);
    SelectObject(dc, oldPen);
    EndPaint(window, &paint);
}

INT_PTR OnColorStatic(HDC dc, HWND control)
{
    switch (GetDlgCtrlID(control)) {
    case IDC_PROGRESS_MAIN:
        SetTextColor(dc, TITLE_COLOUR);
        SelectObject(dc, look.title);
        break;
    case IDC_PROGRESS_SUB:
        SetTextColor(dc, RGB(0, 0, 0));
        break;
    default:
        return FALSE;
    }
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(look.face);
}

void OnDestroy()
{
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(look.title), static_cast<HGDIOBJ>(look.frame),
                           static_cast<HGDIOBJ>(look.face)})
        if (object)
            DeleteObject(object);
    look = ProgressLook();
}

INT_PTR CALLBACK ProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(window);
        return FALSE;   // the operation keeps the focus
    case WM_PAINT:
        OnPaint(window);
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return OnColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DESTROY:
        OnDestroy();
        return TRUE;
    }
    return FALSE;
}

// The operation runs without pumping messages, so each change is painted
// here and now.
void ShowLabel(HWND window, int id, const wchar_t* text)
{
    HWND label = GetDlgItem(window, id);
    SetWindowTextW(label, text ? text : L"");
    InvalidateRect(label, nullptr, TRUE);
    UpdateWindow(label);
}

void ShowPosition(HWND window, int position)
{
    HWND bar = GetDlgItem(window, IDC_PROGRESS_BAR);
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    UpdateWindow(bar);
}

}  // namespace

HWND CreateProgressWindow(HWND owner)
{
    HWND window = CreateDialogParamW(AppInstance(), MAKEINTRESOURCEW(IDD_PROGRESS), owner, ProgressProc, 0);
    if (window) {
        ShowWindow(window, SW_SHOWNA);
        UpdateWindow(window);
    }
    return window;
}

void SetProgressTexts(HWND window, const wchar_t* mainLabel, const wchar_t* subLabel, int rangeLow, int rangeHigh)
{
    if (!window || !IsWindow(window))
        return;
    ShowLabel(window, IDC_PROGRESS_MAIN, mainLabel);
    ShowLabel(window, IDC_PROGRESS_SUB, subLabel);
    // The 32-bit range: counts beyond 65,535 would wrap in the 16-bit one.
    SendDlgItemMessageW(window, IDC_PROGRESS_BAR, PBM_SETRANGE32, static_cast<WPARAM>(rangeLow),
                        static_cast<LPARAM>(rangeHigh > rangeLow ? rangeHigh : rangeLow));
    ShowPosition(window, 0);
}

void StepProgress(HWND window, const wchar_t* subLabel, int position)
{
    if (!window || !IsWindow(window))
        return;
    ShowLabel(window, IDC_PROGRESS_SUB, subLabel);
    ShowPosition(window, position);
}

void DestroyProgressWindow(HWND window)
{
    if (window && IsWindow(window))
        DestroyWindow(window);
}

void SetProgressClearTypeSource(const int* clearTypeFlag)
{
    clearTypeSource = clearTypeFlag;
}
