// Full-screen dialogs, activation and setting-change handling, the library's
// initialisation entry and transparent blits.
#include "platform/shell/aygshell.h"
#include "platform/shell/device_screen.h"
#include "platform/shell/sipapi.h"

using namespace ceshell;

BOOL WINAPI SHShellLibraryInit()
{
    EnsureShellWindows(nullptr);
    return TRUE;
}

BOOL WINAPI SHInitDialog(PSHINITDLGINFO info)
{
    if (!info || !IsWindow(info->hDlg) || !(info->dwMask & SHIDIM_FLAGS)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    EnsureShellWindows(info->hDlg);
    HWND dialog = info->hDlg;
    const DWORD flags = info->dwFlags;
    const bool sized = (flags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR)) != 0;
    if (sized) {
        // A full-screen dialog has no frame: the navigation bar carries its
        // title and Done button.
        LONG style = GetWindowLongW(dialog, GWL_STYLE);
        style &= ~(WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | DS_MODALFRAME);
        SetWindowLongW(dialog, GWL_STYLE, style | WS_POPUP);
        LONG exStyle = GetWindowLongW(dialog, GWL_EXSTYLE);
        SetWindowLongW(dialog, GWL_EXSTYLE, exStyle & ~(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE));
        RECT area = DefaultWindowRect();
        // Only SHIDIF_SIZEDLG leaves out the panel; full screen means full screen.
        if ((flags & SHIDIF_SIZEDLG) && !(flags & SHIDIF_SIZEDLGFULLSCREEN))
            area = VisibleDesktop();
        SetWindowPos(dialog, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    if (flags & SHIDIF_SIPDOWN)
        SipShowIM(SIPF_OFF);
    RegisterShellDialog(dialog, (flags & SHIDIF_DONEBUTTON) != 0, sized);
    return TRUE;
}

BOOL WINAPI SHHandleWMActivate(HWND window, WPARAM wParam, LPARAM, SHACTIVATEINFO* info, DWORD)
{
    if (!info || !IsWindow(window))
        return FALSE;
    if (HWND bar = NavigationBar())
        InvalidateRect(bar, nullptr, FALSE);
    if (LOWORD(wParam) == WA_INACTIVE) {
        // Remember the panel as this window leaves it, to give it back later.
        info->fSipUp = SipIsUp() ? 1 : 0;
        info->fSipOnDeactivation = 1;
        info->fActive = 0;
        return TRUE;
    }
    info->fActive = 1;
    if (info->fSipOnDeactivation) {
        info->fSipOnDeactivation = 0;
        if ((info->fSipUp != 0) != SipIsUp())
            SipShowIM(info->fSipUp ? SIPF_ON : SIPF_OFF);
    }
    return TRUE;
}

BOOL WINAPI SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM, SHACTIVATEINFO* info)
{
    if (!info || !IsWindow(window) || wParam != SPI_SETSIPINFO)
        return FALSE;
    if (GetWindowLongW(window, GWL_STYLE) & WS_CHILD)
        return FALSE;
    bool done = false, followsSip = false;
    const bool dialog = IsShellDialog(window, &done, &followsSip);
    if (dialog && !followsSip)
        return FALSE;
    RECT rect;
    GetWindowRect(window, &rect);
    // The window keeps its top and reaches down to the panel, or to the
    // bottom of the screen when the panel is down.
    const RECT visible = VisibleDesktop();
    const int height = visible.bottom - rect.top;
    if (height <= 0)
        return FALSE;
    info->fSipUp = SipIsUp() ? 1 : 0;
    SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

BOOL WINAPI TransparentImage(HDC destination, LONG dstX, LONG dstY, LONG dstCx, LONG dstCy,
                             HANDLE source, LONG srcX, LONG srcY, LONG srcCx, LONG srcCy,
                             COLORREF transparentColor)
{
    if (!destination || !source || dstCx <= 0 || dstCy <= 0 || srcCx <= 0 || srcCy <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // The source may be a bitmap or a device context holding one.
    HDC sourceDc = nullptr;
    HDC memory = nullptr;
    HGDIOBJ previous = nullptr;
    switch (GetObjectType(source)) {
    case OBJ_BITMAP:
        memory = CreateCompatibleDC(destination);
        if (!memory)
            return FALSE;
        previous = SelectObject(memory, source);
        sourceDc = memory;
        break;
    case OBJ_DC:
    case OBJ_MEMDC:
        sourceDc = static_cast<HDC>(source);
        break;
    default:
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const BOOL drawn = TransparentBlt(destination, dstX, dstY, dstCx, dstCy, sourceDc, srcX, srcY, srcCx,
                                      srcCy, transparentColor);
    if (memory) {
        SelectObject(memory, previous);
        DeleteDC(memory);
    }
    return drawn;
}
