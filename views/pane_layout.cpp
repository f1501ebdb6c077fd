#include "views/pane_layout.h"

#include <initializer_list>
#include "views/splitter.h"

#include "base/input_panel.h"
#include "platform/shell/aygshell.h"
#include "platform/shell/sipapi.h"
#include "settings/settings.h"
#include "base/app_handles.h"

#include <commctrl.h>

#include <algorithm>

int listTop = LIST_TOP_PLAIN;
HWND hUpperSplitter;
HWND hLowerSplitter;

// Splitter tops remembered while the input panel is up; -1 when none are.
static int savedSb1top = -1;
static int savedSb2top = -1;

void ResetSavedSplitterPositions()
{
    savedSb1top = -1;
    savedSb2top = -1;
}

SIZE GetVisibleAreaSize()
{
    SIPINFO info = {};
    info.cbSize = sizeof info;
    SHSipInfo(SPI_GETSIPINFO, 0, &info, 0);
    SIZE size = {info.rcVisibleDesktop.right - info.rcVisibleDesktop.left,
                 info.rcVisibleDesktop.bottom - info.rcVisibleDesktop.top};
    if (!(info.fdwFlags & SIPF_ON) && hMenuBar) {
        RECT bar;
        GetWindowRect(hMenuBar, &bar);
        size.cy -= bar.bottom - bar.top;
    }
    return size;
}

// A window's rectangle in the main window's client coordinates.
static RECT ClientRectOf(HWND mainWindow, HWND child)
{
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, mainWindow, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

PaneRects ComputePaneRects(HWND mainWindow, HWND upper, HWND lower)
{
    const RECT u = ClientRectOf(mainWindow, upper);
    const RECT l = ClientRectOf(mainWindow, lower);
    const int h = GetVisibleAreaSize().cy;
    PaneRects panes;
    // The list area starts one pixel above the splitter's top in the
    // original arithmetic: the panes overlap the splitters' borders.
    panes.contactsHeight = u.top + 1 - listTop;
    panes.activityTop = u.bottom - 1;
    panes.activityHeight = l.top - panes.activityTop + 2;
    panes.notesTop = l.top + 6;
    panes.notesHeight = h - panes.notesTop + 1;
    return panes;
}

static void MovePane(int id, int top, int height, int width)
{
    if (HWND pane = GetDlgItem(hMainWindow, id))
        MoveWindow(pane, 0, top, width, height < 0 ? 0 : height, TRUE);
}

void LayoutPanes()
{
    if (!hMainWindow || !hUpperSplitter || !hLowerSplitter)
        return;
    const PaneRects panes = ComputePaneRects(hMainWindow, hUpperSplitter, hLowerSplitter);
    RECT client;
    GetClientRect(hMainWindow, &client);
    MovePane(ID_CONTACTS_LIST, listTop, panes.contactsHeight, client.right);
    MovePane(ID_ACTIVITY_LIST, panes.activityTop, panes.activityHeight, client.right);
    MovePane(ID_NOTES_PANE, panes.notesTop, panes.notesHeight, client.right);
}

void CreateSplitters(HWND mainWindow, int showCommand)
{
    RECT client;
    GetClientRect(mainWindow, &client);
    hUpperSplitter = CreateWindowW(SPLITTER_CLASS, L"", WS_CHILD | WS_VISIBLE, 0, settings.sb1top, client.right,
                                   SPLITTER_HEIGHT, mainWindow, nullptr, hInstance, nullptr);
    hLowerSplitter = CreateWindowW(SPLITTER_CLASS, L"", WS_CHILD | WS_VISIBLE, 0, settings.sb2top, client.right,
                                   SPLITTER_HEIGHT, mainWindow, nullptr, hInstance, nullptr);
    for (HWND splitter : {hUpperSplitter, hLowerSplitter}) {
        if (!splitter)
            continue;
        SetWindowPos(splitter, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ShowWindow(splitter, showCommand);
    }
    ResetSavedSplitterPositions();
}

void MoveSplitter(HWND splitter, int top)
{
    if (splitter)
        SetWindowPos(splitter, nullptr, 0, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int SplitterTop(HWND splitter)
{
    return ClientRectOf(hMainWindow, splitter).top;
}

static void ShowMarkedRows()
{
    for (int id : {ID_CONTACTS_LIST, ID_ACTIVITY_LIST}) {
        HWND list = GetDlgItem(hMainWindow, id);
        if (!list)
            continue;
        const LRESULT mark = SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0);
        if (mark >= 0)
            SendMessageW(list, LVM_ENSUREVISIBLE, mark, FALSE);
    }
}

static void ApplySplitters()
{
    MoveSplitter(hUpperSplitter, settings.sb1top);
    MoveSplitter(hLowerSplitter, settings.sb2top);
    LayoutPanes();
}

void StoreUpperSplitterTop()
{
    SaveSetting(&Settings::sb1top);
}

void StoreLowerSplitterTop()
{
    SaveSetting(&Settings::sb2top);
}

void RollUp(HWND mainWindow)
{
    RECT client;
    GetClientRect(mainWindow, &client);
    const int H = client.bottom;
    const int T = listTop;
    if (settings.sb1top >= H - 14 && settings.sb2top >= H - 14) {
        settings.sb1top = (H - 14) / 2;
        ApplySplitters();
        StoreUpperSplitterTop();
    } else if (settings.sb2top >= H - 14) {
        settings.sb2top = 3 * (H - 14) / 4;
        settings.sb1top = 3 * (H - 14) / 8;
        ApplySplitters();
        StoreUpperSplitterTop();
        StoreLowerSplitterTop();
    } else if (settings.sb1top > T) {
        settings.sb1top = T - 1;
        ApplySplitters();
        StoreUpperSplitterTop();
    } else {
        settings.sb2top = T + 5;
        ApplySplitters();
        StoreLowerSplitterTop();
    }
    ShowMarkedRows();
}

void RollDown(HWND)
{
    const int h = GetVisibleAreaSize().cy;
    const int T = listTop;
    if (settings.sb1top == T - 1 && settings.sb2top == T + 5) {
        settings.sb2top = (h - 7) / 2;
        ApplySplitters();
        StoreLowerSplitterTop();
    } else if (settings.sb1top == T - 1 && settings.sb2top > T + 5) {
        settings.sb2top = 3 * (h - 7) / 4;
        settings.sb1top = 3 * (h - 7) / 8;
        ApplySplitters();
        StoreUpperSplitterTop();
        StoreLowerSplitterTop();
    } else {
        if (settings.sb2top < h - 6) {
            settings.sb2top = h - 6;
            ApplySplitters();
        } else if (settings.sb1top < h - 12) {
            settings.sb1top = h - 12;
            ApplySplitters();
        }
        StoreUpperSplitterTop();
        StoreLowerSplitterTop();
    }
    ShowMarkedRows();
}

static int ClientHeight(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    return client.bottom;
}

// The input panel moves the panes while a full-screen dialog may cover them,
// and a moved pane keeps bits its own painting does not renew (scroll bars,
// list headers, the edit's margins): each is painted whole, after the
// splitters, so the panes' borders stay drawn over the splitters' edges.
static void RepaintMovedPanes()
{
    const UINT whole = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;
    for (HWND splitter : {hUpperSplitter, hLowerSplitter})
        RedrawWindow(splitter, nullptr, nullptr, whole);
    for (int id : {ID_CONTACTS_LIST, ID_ACTIVITY_LIST, ID_NOTES_PANE})
        if (HWND pane = GetDlgItem(hMainWindow, id))
            RedrawWindow(pane, nullptr, nullptr, whole);
}

// Keeps both splitters on the panes' area of a client area b high: the
// upper no higher than the list top allows, the lower no lower than the
// notes-closed layout, and at least the all-closed distance apart.
static void KeepSplittersInside(int b)
{
    settings.sb2top = std::max(listTop + 5, std::min(settings.sb2top, b - 6));
    settings.sb1top = std::max(listTop - 1, std::min(settings.sb1top, settings.sb2top - 6));
}

// The input panel came up and the client area shrank from b0 to b1: keep the
// panes' arrangement within the smaller area.
static void SqueezeSplitters(int b0, int b1)
{
    const int T = listTop;
    if (settings.sb1top >= b0 - 12 && settings.sb2top >= b0 - 6) {
        settings.sb1top = b1 - 12;
        settings.sb2top = b1 - 6;
    }
    if (settings.sb1top <= T - 1) {
        if (settings.sb2top <= T + 5) {
            settings.sb1top = T - 1;
            settings.sb2top = T + 5;
        } else {
            settings.sb1top = T - 1;
            settings.sb2top = settings.sb2top - b0 + b1;
        }
    } else if (settings.sb2top != b0 - 13) {
        settings.sb2top = settings.sb2top - b0 + b1;
        // Half the room above the lower splitter, counted from the list top:
        // under the find bar half of the whole height would leave the
        // contacts list no row.
        settings.sb1top = T + (settings.sb2top - T) / 2;
    }
    // Layouts with little room above the lower splitter would otherwise
    // end above the list top, the notes pane over both lists.
    KeepSplittersInside(b1);
}

LRESULT OnLayoutSettingChange(HWND mainWindow, WPARAM wParam, LPARAM lParam)
{
    if (savedSb1top < 0 && savedSb2top < 0) {
        savedSb1top = settings.sb1top;
        savedSb2top = settings.sb2top;
    }
    const int b0 = ClientHeight(mainWindow);
    SHHandleWMSettingChange(mainWindow, wParam, lParam, &shellActivateInfo);
    const bool panelUp = IsInputPanelShown() != 0;
    if (osGeneration < OS_GENERATION_2003 && !panelUp) {
        const SIZE visible = GetVisibleAreaSize();
        SetWindowPos(mainWindow, nullptr, 0, 0, visible.cx, visible.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        UpdateWindow(mainWindow);
    }
    const int b1 = ClientHeight(mainWindow);
    if (b1 == b0)
        return 0;
    if (panelUp) {
        savedSb1top = settings.sb1top;
        savedSb2top = settings.sb2top;
        SqueezeSplitters(b0, b1);
    } else {
        settings.sb1top = savedSb1top;
        settings.sb2top = savedSb2top;
    }
    ApplySplitters();
    RepaintMovedPanes();
    return 0;
}
