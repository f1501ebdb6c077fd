#include "views/list_views.h"

#include "contacts/contact_source.h"
#include "contacts/field_catalogue.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "base/app_handles.h"
#include "views/pane_layout.h"
#include "base/text.h"
#include "views/view_resources.h"
#include "base/wait_cursor.h"
#include "views/notes_pane.h"

#include <commctrl.h>

#include <cstdlib>
#include <cstdio>

int contactsColumnTappedLast = -1;
int activityColumnTappedLast = -1;
WNDPROC previousContactsListProc;
WNDPROC previousActivityListProc;

// The main window's client width when the lists were made: rows are
// painted across all of it.
int listFullWidth;

// A header drag ended; the next header notification stores the new order.
static bool contactsDragEnded;
static bool activityDragEnded;

constexpr int MAX_LIST_COLUMNS = 40;
constexpr int SORT_ARROW_ROOM = 18;   // the 12-pixel arrow and its margins
constexpr int CONTACTS_COLUMN_SLOTS = CONTACT_COLUMN_SLOTS + LAST_ACTIVITY_COLUMN_SLOTS;

static HWND CreateList(HWND mainWindow, int id, int top, int height, int width)
{
    // Clipping the header keeps it out of the rows' repaints: it shows the
    // same columns after a refill.
    return CreateWindowExW(0, WC_LISTVIEWW, L"",
                           WS_CHILD | WS_VISIBLE | WS_BORDER | WS_CLIPCHILDREN | LVS_REPORT | LVS_OWNERDATA |
                               LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                           0, top, width, height < 0 ? 0 : height, mainWindow,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), hInstance, nullptr);
}

static void GiveSortArrows(HWND list)
{
    HIMAGELIST arrows = ImageList_Create(12, 5, ILC_COLOR24 | ILC_MASK, 2, 0);
    HBITMAP image = LoadBitmapW(hInstance, MAKEINTRESOURCEW(IDB_SORT_ARROWS));
    HBITMAP mask = LoadBitmapW(hInstance, MAKEINTRESOURCEW(IDB_SORT_ARROWS_MASK));
    if (arrows && image)
        ImageList_Add(arrows, image, mask);
    if (image)
        DeleteObject(image);
    if (mask)
        DeleteObject(mask);
    HWND header = ListView_GetHeader(list);
    if (header && arrows)
        SendMessageW(header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(arrows));
    else if (arrows)
        ImageList_Destroy(arrows);
}

static void InsertColumn(HWND list, int index, const wchar_t* label)
{
    wchar_t text[FIELD_LABEL_CAPACITY];
    CopyText(text, label);
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.cx = 75;
    column.pszText = text;
    SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

static void DeleteColumns(HWND list, int most)
{
    for (int i = 0; i < most; ++i)
        if (!SendMessageW(list, LVM_DELETECOLUMN, 0, 0))
            break;
}

void SetupListColumns()
{
    HWND contacts = ContactsList();
    HWND activities = ActivityList();
    if (contacts) {
        DeleteColumns(contacts, CONTACTS_COLUMN_SLOTS);
        for (int c = 0; c < settings.numcontactfield; ++c)
            InsertColumn(contacts, c, ContactFieldLabel(settings.contactfield[c]));
        for (int c = 0; c < settings.numlastactivityfield; ++c)
            InsertColumn(contacts, settings.numcontactfield + c, ActivityFieldLabel(settings.lastactivityfield[c]));
    }
    if (activities) {
        DeleteColumns(activities, ACTIVITY_COLUMN_SLOTS * 2);
        for (int c = 0; c < settings.numactivityfield; ++c)
            InsertColumn(activities, c, ActivityFieldLabel(settings.activityfield[c]));
    }
}

static void ApplyColumnOrder(HWND list, const int* order, int count)
{
    if (list && order && count > 0)
        SendMessageW(list, LVM_SETCOLUMNORDERARRAY, count, reinterpret_cast<LPARAM>(order));
}

void CreateListsAndNotesPane(HWND mainWindow)
{
    RECT client;
    GetClientRect(mainWindow, &client);
    listFullWidth = client.right;
    const PaneRects panes = ComputePaneRects(mainWindow, hUpperSplitter, hLowerSplitter);
    HWND contacts = CreateList(mainWindow, ID_CONTACTS_LIST, listTop, panes.contactsHeight, client.right);
    HWND activities = CreateList(mainWindow, ID_ACTIVITY_LIST, panes.activityTop, panes.activityHeight, client.right);
    HWND notes = CreateWindowExW(0, L"EDIT", L"",
                                 WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL,
                                 0, panes.notesTop, client.right, panes.notesHeight < 0 ? 0 : panes.notesHeight,
                                 mainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_NOTES_PANE)),
                                 hInstance, nullptr);
    if (notes)
        SendMessageW(notes, EM_LIMITTEXT, 400, 0);
    for (HWND list : {contacts, activities}) {
        if (!list)
            continue;
        GiveSortArrows(list);
        SetWindowPos(list, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(hListFont), TRUE);
        SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP,
                     LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
    }
    for (int id : {ID_FIND_FIELD_BOX, ID_FIND_TEXT_BOX})
        if (HWND control = GetDlgItem(mainWindow, id))
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(hListFont), TRUE);
    if (notes) {
        SendMessageW(notes, WM_SETFONT, reinterpret_cast<WPARAM>(hNotesFont), TRUE);
        previousNotesPaneProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(notes, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NotesPaneProc)));
    }
    if (contacts)
        previousContactsListProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(contacts, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ContactsListProc)));
    if (activities)
        previousActivityListProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(activities, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ActivityListProc)));

    SetupListColumns();
    ApplyColumnOrder(contacts, settings.lv1columnorder, settings.numcontactfield + settings.numlastactivityfield);
    ApplyColumnOrder(activities, settings.lv2columnorder, settings.numactivityfield);

    SendMessageW(contacts, LVM_SETITEMCOUNT, 0, 0);
    SendMessageW(activities, LVM_SETITEMCOUNT, 0, 0);
    for (HWND pane : {contacts, activities, notes})
        if (pane)
            UpdateWindow(pane);
    contactsDragEnded = activityDragEnded = false;
    contactsColumnTappedLast = activityColumnTappedLast = -1;
}

static int ColumnCount(HWND list)
{
    HWND header = ListView_GetHeader(list);
    const int count = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    return count < 0 ? 0 : count > MAX_LIST_COLUMNS ? MAX_LIST_COLUMNS : count;
}

// Takes a list's widths into its widths member and writes every known one.
template <size_t N>
static void StoreWidths(HWND list, int (Settings::*member)[N], int trackedItem, int trackedWidth)
{
    int* widths = settings.*member;
    const int slots = static_cast<int>(N);
    const int count = ColumnCount(list);
    for (int c = 0; c < count && c < slots; ++c) {
        int width = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, c, 0));
        if (c == trackedItem && trackedWidth >= 0)
            width = trackedWidth;
        widths[c] = width;
        if (width >= 0)
            SaveSettingEntries(member, c, 1);
    }
}

// Step 29 of start-up for one list.
template <size_t N>
static void ApplyWidths(HWND list, int (Settings::*member)[N], int sortColumn)
{
    const int* widths = settings.*member;
    const int slots = static_cast<int>(N);
    const int count = ColumnCount(list);
    bool missing = false;
    for (int c = 0; c < count && c < slots; ++c)
        if (widths[c] == -1)
            missing = true;
    if (missing) {
        for (int c = 0; c < count && c < 9; ++c)
            SendMessageW(list, LVM_SETCOLUMNWIDTH, c, LVSCW_AUTOSIZE_USEHEADER);
        // The header's text alone leaves no room for the sort arrow beside it.
        if (sortColumn >= 0 && sortColumn < count && sortColumn < 9) {
            const int fitted = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, sortColumn, 0));
            SendMessageW(list, LVM_SETCOLUMNWIDTH, sortColumn, fitted + SORT_ARROW_ROOM);
        }
        StoreWidths(list, member, -1, -1);
        return;
    }
    for (int c = 0; c < count && c < slots; ++c)
        if (widths[c] >= 0)
            SendMessageW(list, LVM_SETCOLUMNWIDTH, c, widths[c]);
}

void ApplyColumnWidthsAndArrows(HWND)
{
    HWND contacts = ContactsList();
    HWND activities = ActivityList();
    if (!contacts || !activities)
        return;
    SendMessageW(contacts, WM_SETREDRAW, FALSE, 0);
    SendMessageW(activities, WM_SETREDRAW, FALSE, 0);
    ApplyWidths(contacts, &Settings::lv1colwidth, settings.lv1sortcolumn);
    ApplyWidths(activities, &Settings::lv2colwidth, settings.lv2sortcolumn);
    ShowSortArrow(contacts, settings.lv1sortcolumn, settings.lv1sortdirection);
    ShowSortArrow(activities, settings.lv2sortcolumn, settings.lv2sortdirection);
    SendMessageW(contacts, WM_SETREDRAW, TRUE, 0);
    SendMessageW(activities, WM_SETREDRAW, TRUE, 0);
}

void FillListsAtStartup(HWND mainWindow)
{
    SetWaitCursor(true);
    FillContactsList();
    SelectRowByTap(ContactsList(), 0);
    SetWaitCursor(false);
    if (contactCount == 0)
        EnableNewActivity(false);
    if (HWND contacts = GetDlgItem(mainWindow, ID_CONTACTS_LIST))
        SetFocus(contacts);
}

static void SetHeaderFormat(HWND list, int column, bool arrow, int direction)
{
    HWND header = list ? ListView_GetHeader(list) : nullptr;
    if (!header || column < 0)
        return;
    wchar_t text[80] = L"";
    HDITEMW item = {};
    item.mask = HDI_TEXT | HDI_FORMAT;
    item.pszText = text;
    item.cchTextMax = 80;
    if (!SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item)))
        return;
    item.mask = HDI_TEXT | HDI_FORMAT | (arrow ? HDI_IMAGE : 0);
    item.pszText = text;
    item.fmt = HDF_STRING | (arrow ? HDF_IMAGE | HDF_BITMAP_ON_RIGHT : 0);
    item.iImage = direction;
    SendMessageW(header, HDM_SETITEMW, column, reinterpret_cast<LPARAM>(&item));
}

void ShowSortArrow(HWND list, int column, int direction)
{
    SetHeaderFormat(list, column, true, direction);
}

void ClearSortArrow(HWND list, int column)
{
    SetHeaderFormat(list, column, false, 0);
}

static void StoreColumnOrder(HWND list, int* Settings::*orderMember, int count)
{
    int* order = settings.*orderMember;
    if (!order || count <= 0)
        return;
    if (!SendMessageW(list, LVM_GETCOLUMNORDERARRAY, count, reinterpret_cast<LPARAM>(order)))
        return;
    SaveSettingEntries(orderMember, 0, count);
    InvalidateRect(list, nullptr, FALSE);
}

void OnListHeaderNotify(HWND list, const NMHDR* header)
{
    if (!header || header->hwndFrom != ListView_GetHeader(list))
        return;
    const bool contacts = GetDlgCtrlID(list) == ID_CONTACTS_LIST;
    bool& dragEnded = contacts ? contactsDragEnded : activityDragEnded;
    if (header->code == HDN_ENDDRAG) {
        dragEnded = true;
        return;
    }
    if (dragEnded) {
        dragEnded = false;
        if (contacts)
            StoreColumnOrder(list, &Settings::lv1columnorder, settings.numcontactfield + settings.numlastactivityfield);
        else
            StoreColumnOrder(list, &Settings::lv2columnorder, settings.numactivityfield);
    }
    if (header->code == HDN_ENDTRACKW || header->code == HDN_ENDTRACKA) {
        // The header sets the new width only after this notification: take
        // it from the notification itself.
        const NMHEADERW* track = reinterpret_cast<const NMHEADERW*>(header);
        const int width = track->pitem && (track->pitem->mask & HDI_WIDTH) ? track->pitem->cxy : -1;
        if (contacts)
            StoreWidths(list, &Settings::lv1colwidth, track->iItem, width);
        else
            StoreWidths(list, &Settings::lv2colwidth, track->iItem, width);
    }
}

bool PaintFullWidth(HWND list, UINT message, LRESULT* result)
{
    if (message == WM_ERASEBKGND) {
        // Custom draw paints every pixel of the rows.
        *result = 1;
        return true;
    }
    RECT update;
    if (GetUpdateRect(list, &update, FALSE)) {
        update.left = 0;
        update.right = listFullWidth;
        InvalidateRect(list, &update, TRUE);
    }
    return false;
}
