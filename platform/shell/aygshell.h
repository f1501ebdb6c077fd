// The handheld shell's interface: menu bar, full-screen dialogs, activation and
// setting-change helpers. Same names, structures and message numbers as on the
// device; the desktop stand-in behind them lives in this folder.
#pragma once
#include <windows.h>
#include <commctrl.h>

// ---- Messages ---------------------------------------------------------------

// Sent to top-level windows when the system runs low on memory.
#ifndef WM_HIBERNATE
#define WM_HIBERNATE 0x03FF
#endif

// Menu bar messages (sent to the menu bar's window).
#define SHCMBM_SETSUBMENU (WM_USER + 400)   // wParam: button command id, lParam: HMENU
#define SHCMBM_GETSUBMENU (WM_USER + 401)   // lParam: button command id; returns HMENU
#define SHCMBM_GETMENU (WM_USER + 402)      // returns the menu bar's whole menu

// The device's toolbar sets tool tips from an array of strings, one per
// button that is not a separator (wParam: count, lParam: const wchar_t**).
// The desktop message of the same name sets a tool tip window instead.
#undef TB_SETTOOLTIPS
#define TB_SETTOOLTIPS (WM_USER + 81)

// ---- Property sheets -------------------------------------------------------------

// The device's sheet asks its callback for the control version; the answer
// 0x020C gives the handheld look with the tabs at the bottom.
#ifndef PSCB_GETVERSION
#define PSCB_GETVERSION 3
#endif
#define POCKET_PC_COMCTL32_VERSION 0x020C

// ---- Menu bar -----------------------------------------------------------------

// Flags of SHMENUBARINFO.dwFlags.
#define SHCMBF_EMPTYBAR 0x0001
#define SHCMBF_HIDDEN 0x0002
#define SHCMBF_HIDESIPBUTTON 0x0004
#define SHCMBF_COLORBK 0x0008
#define SHCMBF_HMENU 0x0010

typedef struct tagSHMENUBARINFO {
    DWORD cbSize;
    HWND hwndParent;
    DWORD dwFlags;
    UINT nToolBarId;      // menu bar resource: RCDATA and MENU of this id
    HINSTANCE hInstRes;
    int nBmpId;           // toolbar bitmap, nBmpId images of 16 x 16
    int cBmpImages;
    HWND hwndMB;          // out: the menu bar window
} SHMENUBARINFO, *PSHMENUBARINFO;

// Creates the menu bar at the bottom of the screen for hwndParent. Commands of
// its buttons and menus reach the parent as WM_COMMAND.
BOOL WINAPI SHCreateMenuBar(SHMENUBARINFO* info);

// Menu bar resource (RCDATA, 16-bit words): menu id, button count, then per
// button: image (I_IMAGENONE for text), command, state, style, string id,
// 0, submenu index in the menu (NOMENU for none).
#ifndef I_IMAGENONE
#define I_IMAGENONE (-2)
#endif
#define NOMENU 0xFFFF

// ---- Dialogs ------------------------------------------------------------------

#define SHIDIM_FLAGS 0x0001

#define SHIDIF_DONEBUTTON 0x0001
#define SHIDIF_SIZEDLG 0x0002
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004
#define SHIDIF_SIPDOWN 0x0008
#define SHIDIF_FULLSCREENNOMENUBAR 0x0010
#define SHIDIF_EMPTYMENU 0x0020

typedef struct tagSHINITDLGINFO {
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
} SHINITDLGINFO, *PSHINITDLGINFO;

// Makes a dialog a full-screen dialog; with SHIDIF_DONEBUTTON the navigation
// bar shows a Done button that confirms it (WM_COMMAND IDOK).
BOOL WINAPI SHInitDialog(PSHINITDLGINFO info);

// ---- Activation and setting changes ----------------------------------------

typedef struct tagSHACTIVATEINFO {
    DWORD cbSize;
    HWND hwndLastFocus;
    UINT fSipUp : 1;
    UINT fSipOnDeactivation : 1;
    UINT fActive : 1;
    UINT fReserved : 29;
} SHACTIVATEINFO, *PSHACTIVATEINFO;

// dwFlags of SHHandleWMActivate.
#define SHA_INPUTDIALOG 0x00000001

// Keeps the input panel as the window left it across deactivation.
BOOL WINAPI SHHandleWMActivate(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info,
                               DWORD flags);

// Fits a full-screen window or dialog above the input panel when it moves.
BOOL WINAPI SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info);

// The shell library's initialisation entry. The device library exports it by
// ordinal 9 only; the stand-in gives it this name.
BOOL WINAPI SHShellLibraryInit();

// ---- Graphics -----------------------------------------------------------------

// Copies a bitmap (or a device context's picture) leaving out every pixel of
// the transparent colour, stretching when the sizes differ.
BOOL WINAPI TransparentImage(HDC destination, LONG dstX, LONG dstY, LONG dstCx, LONG dstCy,
                             HANDLE source, LONG srcX, LONG srcY, LONG srcCx, LONG srcCy,
                             COLORREF transparentColor);
