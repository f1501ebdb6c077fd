#include "platform/shell/device_screen.h"

#include <algorithm>
#include <map>
#include <set>

namespace ceshell {

namespace {

// The CBT hook stays for the thread's life. The two hooks that see every sent
// message are installed only while a window waits for its placement: under
// Wine each hooked message costs several server round trips, which on a
// list of thousands of rows is most of a tap's time.
thread_local HHOOK screenHook;
thread_local HHOOK createHook;
thread_local HHOOK dialogHook;
thread_local HWND windowToPlace;
thread_local std::set<HWND>* dialogsToPlace;

struct DialogTraits {
    bool doneButton;
    bool followsSip;
};
std::map<HWND, DialogTraits> shellDialogs;

HWND navigationBar;
// Posted to the navigation bar once an activation, or a minimise or restore
// of the chrome's owner, has been made.
constexpr UINT WM_RAISE_CHROME = WM_USER + 1;
constexpr UINT WM_FOLLOW_OWNER = WM_USER + 2;

bool IsOwnClass(const wchar_t* className)
{
    if (IS_INTRESOURCE(className))
        return false;
    return lstrcmpW(className, MENU_BAR_CLASS) == 0 || lstrcmpW(className, NAV_BAR_CLASS) == 0 ||
           lstrcmpW(className, SIP_CLASS) == 0;
}

// A device has no window frames: a top-level window is a bare rectangle.
void StripDesktopFrame(HWND window, CREATESTRUCTW* create)
{
    const LONG frame = WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    const LONG exFrame = WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME;
    create->style = (create->style & ~frame) | WS_POPUP;
    create->dwExStyle &= ~exFrame;
    SetWindowLongW(window, GWL_STYLE, create->style);
    SetWindowLongW(window, GWL_EXSTYLE, create->dwExStyle);
}

// WM_INITDIALOG goes only to windows of the dialog class or of a class made
// for dialogs, which reserves the dialog's window bytes.
bool IsDialogWindow(HWND window)
{
    wchar_t name[16] = {};
    return (GetClassNameW(window, name, 16) && lstrcmpW(name, L"#32770") == 0) ||
           GetClassLongPtrW(window, GCL_CBWNDEXTRA) >= DLGWINDOWEXTRA;
}

LRESULT CALLBACK CreateHook(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK DialogHook(int code, WPARAM wParam, LPARAM lParam);

void WatchCreation()
{
    if (!createHook)
        createHook = SetWindowsHookExW(WH_CALLWNDPROC, CreateHook, nullptr, GetCurrentThreadId());
}

void WatchDialog(HWND dialog)
{
    if (!dialogsToPlace)
        dialogsToPlace = new std::set<HWND>;
    dialogsToPlace->insert(dialog);
    if (!dialogHook)
        dialogHook = SetWindowsHookExW(WH_CALLWNDPROCRET, DialogHook, nullptr, GetCurrentThreadId());
}

// Removed from within the hook itself once nothing waits; Windows allows it.
void StopWatching(HHOOK* hook)
{
    if (*hook && UnhookWindowsHookEx(*hook))
        *hook = nullptr;
}

LRESULT CALLBACK ScreenHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        auto* cbt = reinterpret_cast<CBT_CREATEWNDW*>(lParam);
        CREATESTRUCTW* create = cbt->lpcs;
        // A device has no overlapped windows: a top-level window without
        // WS_POPUP, or one left at the default position, fills the screen
        // below the navigation bar. (Some window managers resolve the
        // default position before the hook sees it, so both count.)
        const bool topLevel = !(create->style & WS_CHILD);
        const bool overlapped = !(create->style & (WS_POPUP | WS_CHILD));
        if (topLevel && (create->x == CW_USEDEFAULT || overlapped) && !IsOwnClass(create->lpszClass)) {
            const RECT area = DefaultWindowRect();
            create->x = area.left;
            create->y = area.top;
            create->cx = area.right - area.left;
            create->cy = area.bottom - area.top;
            StripDesktopFrame(reinterpret_cast<HWND>(wParam), create);
            // Not every window manager takes the changed position from the
            // hook; the window is placed again as it receives WM_CREATE.
            windowToPlace = reinterpret_cast<HWND>(wParam);
            WatchCreation();
        }
        if (topLevel && IsDialogWindow(reinterpret_cast<HWND>(wParam)))
            WatchDialog(reinterpret_cast<HWND>(wParam));
    } else if (code == HCBT_MINMAX) {
        // A desktop hides a window's owned pop-ups with it as it is
        // minimised, but not every window system does: the chrome follows
        // its owner once the change is made.
        if (navigationBar && reinterpret_cast<HWND>(wParam) == ChromeOwner())
            PostMessageW(navigationBar, WM_FOLLOW_OWNER, 0, 0);
    } else if (code == HCBT_ACTIVATE) {
        // The window being activated comes to the top after this hook: the
        // chrome follows it once that is done.
        if (navigationBar) {
            InvalidateRect(navigationBar, nullptr, FALSE);
            PostMessageW(navigationBar, WM_RAISE_CHROME, 0, 0);
        }
    } else if (code == HCBT_DESTROYWND) {
        const HWND window = reinterpret_cast<HWND>(wParam);
        ForgetShellDialog(window);
        if (window == windowToPlace)
            windowToPlace = nullptr;
        if (dialogsToPlace)
            dialogsToPlace->erase(window);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK CreateHook(int code, WPARAM wParam, LPARAM lParam)
{
    auto* sent = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_CREATE && sent->hwnd == windowToPlace) {
        windowToPlace = nullptr;
        const RECT area = DefaultWindowRect();
        SetWindowPos(sent->hwnd, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    const LRESULT next = CallNextHookEx(nullptr, code, wParam, lParam);
    if (!windowToPlace)
        StopWatching(&createHook);
    return next;
}

// A desktop opens a dialog or message box in the middle of the desktop or of
// its owner; the device opens it on its own screen. A dialog that lies on
// the screen already, as the full-screen ones do, stays where it is; any
// other is centred in the visible area (in the whole area below the
// navigation bar when the input panel leaves too little), or put at its top
// left when it is larger.
void PlaceDialogOnScreen(HWND dialog)
{
    bool doneButton = false, followsSip = false;
    if ((GetWindowLongW(dialog, GWL_STYLE) & WS_CHILD) || IsShellDialog(dialog, &doneButton, &followsSip))
        return;
    RECT rect;
    GetWindowRect(dialog, &rect);
    const RECT screen = DefaultWindowRect();
    if (rect.left >= screen.left && rect.top >= screen.top && rect.right <= screen.right &&
        rect.bottom <= screen.bottom)
        return;
    const LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
    RECT area = VisibleDesktop();
    if (height > area.bottom - area.top)
        area = screen;
    const LONG x = area.left + std::max<LONG>(0, (area.right - area.left - width) / 2);
    const LONG y = area.top + std::max<LONG>(0, (area.bottom - area.top - height) / 2);
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// After WM_INITDIALOG the dialog has its final size (message boxes and the
// program's own ones size themselves there) and is not yet shown.
LRESULT CALLBACK DialogHook(int code, WPARAM wParam, LPARAM lParam)
{
    auto* sent = reinterpret_cast<CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_INITDIALOG && dialogsToPlace && dialogsToPlace->erase(sent->hwnd))
        PlaceDialogOnScreen(sent->hwnd);
    const LRESULT next = CallNextHookEx(nullptr, code, wParam, lParam);
    if (!dialogsToPlace || dialogsToPlace->empty())
        StopWatching(&dialogHook);
    return next;
}

// Installed before main so that the program's first window already lands on
// the device screen.
struct StartupHook {
    StartupHook() { InstallDeviceScreenHook(); }
} startupHook;

// ---- Navigation bar -----------------------------------------------------------

HWND ActiveDoneDialog()
{
    HWND active = GetActiveWindow();
    bool done = false, follows = false;
    if (active && IsShellDialog(active, &done, &follows) && done)
        return active;
    return nullptr;
}

void PaintNavigationBar(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillSolid(dc, client, RGB(16, 40, 96));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    HFONT font = CreateShellFont(13, FW_BOLD);
    HGDIOBJ oldFont = SelectObject(dc, font);

    // The flag symbol of the start menu, then the active window's title.
    for (int quarter = 0; quarter < 4; ++quarter) {
        const int x = 6 + (quarter % 2) * 6, y = 7 + (quarter / 2) * 6;
        FillSolid(dc, {x, y, x + 5, y + 5}, RGB(255, 255, 255));
    }

    wchar_t title[64] = {};
    HWND active = GetActiveWindow();
    if (active)
        GetWindowTextW(active, title, 64);
    RECT text = {24, 0, client.right - 40, client.bottom};
    DrawTextW(dc, title, -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);

    if (ActiveDoneDialog()) {
        RECT done = DoneButtonRect();
        HBRUSH circle = CreateSolidBrush(RGB(255, 255, 255));
        HGDIOBJ oldBrush = SelectObject(dc, circle);
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
        Ellipse(dc, done.left, done.top, done.right, done.bottom);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(circle);
        SetTextColor(dc, RGB(16, 40, 96));
        DrawTextW(dc, L"ok", -1, &done, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(dc, oldFont);
    DeleteObject(font);
    EndPaint(window, &paint);
}

LRESULT CALLBACK NavigationBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintNavigationBar(window);
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_FOLLOW_OWNER:
        // Minimised, the program shows none of its pop-ups; restored, it
        // shows again those that went with it.
        if (HWND owner = ChromeOwner())
            ShowOwnedPopups(owner, !IsIconic(owner));
        RaiseChrome();
        return 0;
    case WM_RAISE_CHROME:
        RaiseChrome();
        return 0;
    case WM_LBUTTONUP: {
        POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        RECT done = DoneButtonRect();
        HWND dialog = ActiveDoneDialog();
        if (dialog && PtInRect(&done, point))
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return 0;
    }
    case WM_DESTROY:
        if (navigationBar == window)
            navigationBar = nullptr;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

void FillSolid(HDC dc, const RECT& rect, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

HFONT CreateShellFont(int height, int weight)
{
    return CreateFontW(-height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
}

bool RegisterShellClass(const wchar_t* name, WNDPROC procedure, HBRUSH background)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW existing;
    if (GetClassInfoW(instance, name, &existing))
        return true;
    WNDCLASSW shellClass = {};
    shellClass.lpfnWndProc = procedure;
    shellClass.hInstance = instance;
    shellClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    shellClass.hbrBackground = background;
    shellClass.lpszClassName = name;
    return RegisterClassW(&shellClass) != 0;
}

void InstallDeviceScreenHook()
{
    if (!screenHook)
        screenHook = SetWindowsHookExW(WH_CBT, ScreenHook, nullptr, GetCurrentThreadId());
}

RECT DoneButtonRect()
{
    return {SCREEN_WIDTH - 32, 3, SCREEN_WIDTH - 4, NAV_BAR_HEIGHT - 3};
}

HWND NavigationBar()
{
    return navigationBar;
}

HWND ChromeOwner()
{
    return navigationBar ? GetWindow(navigationBar, GW_OWNER) : nullptr;
}

bool ProgramIsInFront()
{
    DWORD process = 0;
    HWND foreground = GetForegroundWindow();
    return foreground && GetWindowThreadProcessId(foreground, &process) && process == GetCurrentProcessId();
}

void RaiseChrome()
{
    // Over another program's windows the chrome stays where its owner is.
    if (!ProgramIsInFront())
        return;
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    if (navigationBar)
        SetWindowPos(navigationBar, HWND_TOP, 0, 0, 0, 0, flags);
    HWND panel = InputPanelWindow();
    if (panel && IsWindowVisible(panel))
        SetWindowPos(panel, HWND_TOP, 0, 0, 0, 0, flags);
}

void EnsureShellWindows(HWND forWindow)
{
    InstallDeviceScreenHook();
    HWND owner = forWindow ? GetAncestor(forWindow, GA_ROOTOWNER) : nullptr;
    // A bar made before the program had a window goes to the first one.
    if (navigationBar && owner && !ChromeOwner())
        DestroyWindow(navigationBar);
    if (RegisterShellClass(NAV_BAR_CLASS, NavigationBarProc) && !navigationBar) {
        const RECT bar = NavBarRect();
        navigationBar = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, NAV_BAR_CLASS, L"",
                                        WS_POPUP | WS_VISIBLE, bar.left, bar.top, bar.right - bar.left,
                                        bar.bottom - bar.top, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
        // The panel went with the previous owner; the new one gets it back.
        if (navigationBar && SipIsUp())
            ShowPanelWindow(true);
    }
}

void RegisterShellDialog(HWND dialog, bool doneButton, bool followsSip)
{
    shellDialogs[dialog] = {doneButton, followsSip};
    if (navigationBar)
        InvalidateRect(navigationBar, nullptr, FALSE);
}

bool IsShellDialog(HWND dialog, bool* doneButton, bool* followsSip)
{
    auto found = shellDialogs.find(dialog);
    if (found == shellDialogs.end())
        return false;
    *doneButton = found->second.doneButton;
    *followsSip = found->second.followsSip;
    return true;
}

void ForgetShellDialog(HWND dialog)
{
    if (shellDialogs.erase(dialog) && navigationBar)
        InvalidateRect(navigationBar, nullptr, FALSE);
}

} // namespace ceshell
