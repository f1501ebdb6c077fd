// The soft input panel: an 80-pixel keyboard picture above the menu bar. It
// takes no input on the desktop (the real keyboard serves); what matters to
// programs is the space it takes and the setting change it announces.
#include "platform/shell/device_screen.h"
#include "platform/shell/sipapi.h"

#include <vector>

namespace ceshell {

namespace {

bool sipUp;
HWND sipWindow;

void PaintKeys(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillSolid(dc, client, RGB(206, 211, 222));

    static const wchar_t* const rows[] = {L"1234567890", L"qwertyuiop", L"asdfghjkl", L"zxcvbnm,."};
    HFONT font = CreateShellFont(11, FW_NORMAL);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    const int keyWidth = 22, keyHeight = 18;
    for (int row = 0; row < 4; ++row) {
        const wchar_t* keys = rows[row];
        const int indent = 5 + row * 6;
        for (int k = 0; keys[k]; ++k) {
            RECT key = {indent + k * (keyWidth + 1), 2 + row * (keyHeight + 2), 0, 0};
            key.right = key.left + keyWidth;
            key.bottom = key.top + keyHeight;
            Rectangle(dc, key.left, key.top, key.right, key.bottom);
            DrawTextW(dc, &keys[k], 1, &key, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
    }
    SelectObject(dc, oldFont);
    DeleteObject(font);
    EndPaint(window, &paint);
}

LRESULT CALLBACK SipProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintKeys(window);
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_DESTROY:
        if (sipWindow == window)
            sipWindow = nullptr;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

struct ProgramWindows {
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectProgramWindow(HWND window, LPARAM param)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId())
        return TRUE;
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (lstrcmpW(className, MENU_BAR_CLASS) == 0 || lstrcmpW(className, NAV_BAR_CLASS) == 0 ||
        lstrcmpW(className, SIP_CLASS) == 0)
        return TRUE;
    reinterpret_cast<ProgramWindows*>(param)->windows.push_back(window);
    return TRUE;
}

// Tells every top-level window of the program that the panel moved.
void AnnounceSipChange()
{
    ProgramWindows found;
    EnumWindows(CollectProgramWindow, reinterpret_cast<LPARAM>(&found));
    for (HWND window : found.windows) {
        if (IsWindow(window))
            SendMessageW(window, WM_SETTINGCHANGE, SPI_SETSIPINFO, 0);
    }
}

} // namespace

void ShowPanelWindow(bool show)
{
    // Owned by the program's top window like the rest of the chrome; a panel
    // made before that window existed is made again for it.
    HWND owner = ChromeOwner();
    if (show && sipWindow && GetWindow(sipWindow, GW_OWNER) != owner)
        DestroyWindow(sipWindow);
    if (show && !sipWindow && RegisterShellClass(SIP_CLASS, SipProc)) {
        const RECT panel = SipRect();
        sipWindow = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, SIP_CLASS, L"", WS_POPUP, panel.left,
                                    panel.top, panel.right - panel.left, panel.bottom - panel.top, owner, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
    }
    if (sipWindow) {
        ShowWindow(sipWindow, show ? SW_SHOWNOACTIVATE : SW_HIDE);
        if (show)
            RaiseChrome();
    }
}

HWND InputPanelWindow()
{
    return sipWindow;
}

bool SipIsUp()
{
    return sipUp;
}

RECT VisibleDesktop()
{
    RECT visible = DefaultWindowRect();
    if (sipUp)
        visible.bottom = SipRect().top;
    return visible;
}

static BOOL SetSip(bool up)
{
    if (up == sipUp) {
        // The panel may have gone with an owner that closed.
        if (up && !sipWindow)
            ShowPanelWindow(true);
        return TRUE;
    }
    sipUp = up;
    ShowPanelWindow(up);
    AnnounceSipChange();
    return TRUE;
}

} // namespace ceshell

BOOL WINAPI SHSipInfo(UINT action, UINT, PVOID info, UINT)
{
    auto* sip = static_cast<SIPINFO*>(info);
    if (!sip || sip->cbSize < sizeof(SIPINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    switch (action) {
    case SPI_GETSIPINFO:
        sip->fdwFlags = SIPF_DOCKED | (ceshell::SipIsUp() ? SIPF_ON : SIPF_OFF);
        sip->rcVisibleDesktop = ceshell::VisibleDesktop();
        sip->rcSipRect = ceshell::SipRect();
        sip->dwImDataSize = 0;
        sip->pvImData = nullptr;
        return TRUE;
    case SPI_SETSIPINFO:
        return ceshell::SetSip((sip->fdwFlags & SIPF_ON) != 0);
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

BOOL WINAPI SipShowIM(DWORD flags)
{
    return ceshell::SetSip((flags & SIPF_ON) != 0);
}
