// The panes between the header band and the bottom: splitters, Roll Up and
// Roll Down, and the input panel's squeeze.
#pragma once
#include <windows.h>

// Client y of the top of the contacts list: 17, or 41 under the find bar.
extern int listTop;
constexpr int LIST_TOP_PLAIN = 17;
constexpr int LIST_TOP_FIND_BAR = 41;
constexpr int SPLITTER_HEIGHT = 7;

extern HWND hUpperSplitter;
extern HWND hLowerSplitter;

struct PaneRects {
    int contactsHeight;
    int activityTop;
    int activityHeight;
    int notesTop;
    int notesHeight;
};

// Width and height of the screen area the program may use: above the input
// panel when it is up, above the menu bar otherwise.
SIZE GetVisibleAreaSize();
// The panes' places from the splitters' places.
PaneRects ComputePaneRects(HWND mainWindow, HWND upper, HWND lower);
// Moves the lists and the notes pane into the places the splitters leave.
void LayoutPanes();
// Start-up: the two splitters at sb1top and sb2top.
void CreateSplitters(HWND mainWindow, int showCommand);
// Moves a splitter's top to client y, keeping its size.
void MoveSplitter(HWND splitter, int top);
// Client y of a splitter's top.
int SplitterTop(HWND splitter);
// Keep sb1top or sb2top for the next start.
void StoreUpperSplitterTop();
void StoreLowerSplitterTop();

void RollUp(HWND mainWindow);
void RollDown(HWND mainWindow);
// WM_SETTINGCHANGE of the main window.
LRESULT OnLayoutSettingChange(HWND mainWindow, WPARAM wParam, LPARAM lParam);
// Forgets the positions saved while the input panel was up (a new main window).
void ResetSavedSplitterPositions();
