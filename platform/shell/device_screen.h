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

// Where the screen's top left lies on the desktop: the top left of the
// desktop's work area, so that a taskbar docked at the top or left does not
// cover it. The parts below are in desktop coordinates.
POINT ScreenOrigin();
RECT NavBarRect();
RECT MenuBarRect();
RECT SipRect();
// Where a top-level window created at the default position goes: everything
// below the navigation bar, the menu bar's strip included, as on the device.
RECT DefaultWindowRect();

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
// The device's chrome (navigation bar, input panel) belongs to the program:
// it is owned by the top window of `forWindow` (its root owner), so it is
// stacked with the program, not over other programs, and hidden with it
// when it is minimised. Made again for the next top window when its owner
// is gone.
void EnsureShellWindows(HWND forWindow);
// The program's top window that owns the chrome, if any.
HWND ChromeOwner();
// Whether the foreground window is one of this process's.
bool ProgramIsInFront();
// Puts the chrome above the program's other windows after an activation,
// while the program is the one in front. (While its owner is minimised the
// program's pop-ups are hidden, the chrome with them.)
void RaiseChrome();
// The input panel's window, made (hidden) for the chrome's owner when up.
void ShowPanelWindow(bool show);
HWND InputPanelWindow();
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
