#include "base/progress_window.h"

#include "base/app_handles.h"
#include "base/drawing.h"
#include "base/message_box.h"
#include "resources/progress_window_ids.h"

#include <commctrl.h>

namespace {

constexpr COLORREF FACE = 0x0096FFFF;
constexpr COLORREF TITLE = 0x00960000;

// One progress window at a time, so its drawing objects are the file's.
struct ProgressLook {
    HBRUSH face;
    HPEN frame;
    HFONT title;
} look;

template <typename Handle>
void Delete(Handle& handle)
{
    if (handle)
        DeleteObject(handle);
    handle = nullptr;
}

void OnInitDialog(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    HRGN region = CreateRectRgn(client.left, client.top, client.right, client.bottom);
    ClipWindowCorners(window, region);
    // The window owns the region from here on.
    SetWindowRgn(window, region, TRUE);
    look.face = CreateSolidBrush(FACE);
    look.frame = CreatePen(PS_SOLID, 2, RGB(0, 0, 0));
    look.title = CreateAppFont(700, 13, CardClearType());
    SendDlgItemMessageW(window, IDC_PROGRESS_MAIN_LABEL, WM_SETFONT, reinterpret_cast<WPARAM>(look.title), FALSE);
}

void OnPaint(HWND window)
{
    CardPaint card(window, look.face, look.frame);
}

INT_PTR CALLBACK ProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(window);
        return TRUE;
    case WM_PAINT:
        OnPaint(window);
        return TRUE;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        const bool main = GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_PROGRESS_MAIN_LABEL;
        SetTextColor(dc, main ? TITLE : RGB(0, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<INT_PTR>(look.face);
    }
    case WM_DESTROY:
        Delete(look.title);
        Delete(look.frame);
        Delete(look.face);
        return TRUE;
    default:
        return FALSE;
    }
}

// The operations run without pumping messages, so the bar is repainted here
// and now, like the labels.
void SetPosition(HWND window, int position)
{
    HWND bar = GetDlgItem(window, IDC_PROGRESS_BAR);
    SendMessageW(bar, PBM_SETPOS, position, 0);
    UpdateWindow(bar);
}

void SetLabel(HWND window, int id, const wchar_t* text)
{
    HWND label = GetDlgItem(window, id);
    SetWindowTextW(label, text ? text : L"");
    UpdateWindow(label);
}

} // namespace

HWND CreateProgressWindow(HWND owner)
{
    HWND window = CreateDialogParamW(AppInstance(), MAKEINTRESOURCEW(IDD_PROGRESS_WINDOW), owner, ProgressProc, 0);
    if (window)
        UpdateWindow(window);
    return window;
}

void SetProgressTexts(HWND window, const wchar_t* mainLabel, const wchar_t* subLabel, int low, int high)
{
    if (!window)
        return;
    SetLabel(window, IDC_PROGRESS_MAIN_LABEL, mainLabel);
    SetLabel(window, IDC_PROGRESS_SUB_LABEL, subLabel);
    // The 32-bit range: counts above 65,535 do not wrap.
    SendDlgItemMessageW(window, IDC_PROGRESS_BAR, PBM_SETRANGE32, low, high);
    SetPosition(window, 0);
}

void StepProgress(HWND window, const wchar_t* subLabel, int position)
{
    if (!window)
        return;
    SetLabel(window, IDC_PROGRESS_SUB_LABEL, subLabel);
    SetPosition(window, position);
}

void DestroyProgressWindow(HWND window)
{
    if (window)
        DestroyWindow(window);
}
