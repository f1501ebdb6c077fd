// The device screen the stand-in shows on a desktop: where its parts are, and
// the stand-in's own windows. Program code never includes this; the stand-in
// and its tests do.
#pragma once
#include <windows.h>

namespace ceshell {

constexpr int SCREEN_WIDTH = 240;
constexpr int SCREEN_HEIGHT = 320;
constexpr int NAV_BAR_HEIGHT = 26;    // title, clock and Done button on top
constexpr int MENU_BAR_HEIGHT = 26;   // the program's menu bar at the bottom
constexpr int SIP_HEIGHT = 80;        // the input panel, just above the menu bar

constexpr RECT NavBarRect() { return {0, 0, SCREEN_WIDTH, NAV_BAR_HEIGHT}; }
constexpr RECT MenuBarRect() { return {0, SCREEN_HEIGHT - MENU_BAR_HEIGHT, SCREEN_WIDTH, SCREEN_HEIGHT}; }
constexpr RECT SipRect()
{
    return {0, SCREEN_HEIGHT - MENU_BAR_HEIGHT - SIP_HEIGHT, SCREEN_WIDTH, SCREEN_HEIGHT - MENU_BAR_HEIGHT};
}
// Where a top-level window created at the default position goes: everything
// below the navigation bar, the menu bar's strip included, as on the device.
constexpr RECT DefaultWindowRect() { return {0, NAV_BAR_HEIGHT, SCREEN_WIDTH, SCREEN_HEIGHT}; }

// Visible desktop: below the navigation bar and above the panel when it is up,
// down to the bottom of the screen otherwise.
RECT VisibleDesktop();
bool SipIsUp();

// Class names of the stand-in's windows.
constexpr wchar_t MENU_BAR_CLASS[] = L"menu_worker";
constexpr wchar_t NAV_BAR_CLASS[] = L"HHTaskBar";
constexpr wchar_t SIP_CLASS[] = L"SipWndClass";

// Drawing and class helpers of the stand-in's own windows.
void FillSolid(HDC dc, const RECT& rect, COLORREF colour);
HFONT CreateShellFont(int height, int weight);
bool RegisterShellClass(const wchar_t* name, WNDPROC procedure, HBRUSH background = nullptr);

// Registers the stand-in's classes and shows the navigation bar (idempotent).
void EnsureShellWindows();
HWND NavigationBar();
// The Done button's rectangle in the navigation bar's client coordinates.
RECT DoneButtonRect();

// Installed for the calling thread when the stand-in is first used and at
// start-up of the process: places overlapped and default-positioned
// top-level windows on the device screen without desktop decorations, and
// every dialog and message box within the screen.
void InstallDeviceScreenHook();

// Dialogs that SHInitDialog made full screen, and whether they show Done.
void RegisterShellDialog(HWND dialog, bool doneButton, bool followsSip);
bool IsShellDialog(HWND dialog, bool* doneButton, bool* followsSip);
void ForgetShellDialog(HWND dialog);

} // namespace ceshell
