#include "views/list_views.h"

#include "contacts/contact_fields.h"
#include "contacts/contact_source.h"
#include "platform/notify/device_clock.h"
#include "settings/settings.h"
#include "views/view_bitmaps.h"
#include "base/app_handles.h"
#include "base/text.h"
#include "views/view_resources.h"
#include "store/activity_database.h"
#include "store/activity_queries.h"
#include "store/activity_record.h"

#include <commctrl.h>
#include <oleauto.h>

#include <cmath>
#include <vector>

extern int listFullWidth;

namespace {

constexpr COLORREF SELECTED_TEXT = 0xFFFFFF;
constexpr COLORREF SELECTED_BACKGROUND = 0xFF4A4A;
constexpr int MAX_DRAWN_COLUMNS = 40;

// Records that could not be read while painting: reported once, then shown
// empty. A report is modal and lets the lists paint again underneath it.
std::vector<CEOID> unreadableRecords;
bool reportingUnreadable;

bool KnownUnreadable(CEOID oid)
{
    for (CEOID known : unreadableRecords)
        if (known == oid)
            return true;
    return false;
}

// The record as painting sees it: empty when it cannot be read.
bool ReadForPaint(CEOID oid, ActivityRecord* record)
{
    *record = ActivityRecord{};
    if (oid == 0 || KnownUnreadable(oid) || reportingUnreadable)
        return false;
    reportingUnreadable = true;
    const bool read = ReadActivityRecordDB(activityDatabase, oid, record) != 0;
    reportingUnreadable = false;
    if (!read) {
        unreadableRecords.push_back(oid);
        *record = ActivityRecord{};
    }
    return read;
}

struct ListLook {
    HBRUSH row1, row2;
    COLORREF row1Colour, row2Colour, text, line, pastDue, done;
    int lines;
    int rows;
};

ListLook LookOf(int id)
{
    const Settings& s = settings;
    if (id == ID_CONTACTS_LIST)
        return {hLv1Row1Brush, hLv1Row2Brush, s.lv1r1color, s.lv1r2color, s.lv1textcolor, s.lv1linecolor,
                s.lv1pastduecolor, s.lv1donecolor, s.lv1lines, contactCount};
    return {hLv2Row1Brush, hLv2Row2Brush, s.lv2r1color, s.lv2r2color, s.lv2textcolor, s.lv2linecolor,
            s.lv2pastduecolor, s.lv2donecolor, s.lv2lines, activityCount};
}

// Odd rows take row colour 1, even rows row colour 2.
HBRUSH RowBrush(const ListLook& look, int row) { return row % 2 ? look.row1 : look.row2; }
COLORREF RowColour(const ListLook& look, int row) { return row % 2 ? look.row1Colour : look.row2Colour; }

CEOID LastActivityOf(int row)
{
    return lastActivityOIDList && row >= 0 && row < contactCount ? lastActivityOIDList[row] : 0;
}

CEOID ActivityOf(int row)
{
    return activityOIDList && row >= 0 && row < activityCount ? activityOIDList[row] : 0;
}

void ActivityCellText(CEOID oid, int field, wchar_t* buffer, int capacity)
{
    ActivityRecord record;
    ReadForPaint(oid, &record);
    wchar_t text[COLUMN_TEXT_CAPACITY] = L"";
    GetActivityColumnText(record, field, text, COLUMN_TEXT_CAPACITY, 0);
    CopyText(buffer, capacity, text);
}

LRESULT OnGetDispInfo(int id, NMLVDISPINFOW* info)
{
    LVITEMW& item = info->item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0)
        return 0;
    item.pszText[0] = 0;
    const int row = item.iItem;
    const int column = item.iSubItem;
    if (id == ID_ACTIVITY_LIST) {
        if (row < 0 || row >= activityCount || column < 0 || column >= settings.numactivityfield)
            return 0;
        ActivityCellText(ActivityOf(row), settings.activityfield[column], item.pszText, item.cchTextMax);
        return 0;
    }
    if (row < 0 || row >= contactCount || !contactOIDList || column < 0)
        return 0;
    if (column < settings.numcontactfield) {
        wchar_t text[CONTACT_FIELD_TEXT_CAPACITY] = L"";
        GetContactFieldText(contactOIDList[row], settings.contactfield[column], text, CONTACT_FIELD_TEXT_CAPACITY);
        CopyText(item.pszText, item.cchTextMax, text);
    } else if (column < settings.numcontactfield + settings.numlastactivityfield) {
        const CEOID last = LastActivityOf(row);
        if (last)
            ActivityCellText(last, settings.lastactivityfield[column - settings.numcontactfield], item.pszText,
                             item.cchTextMax);
    }
    return 0;
}

void FillRect(HDC dc, RECT rect, HBRUSH brush)
{
    ::FillRect(dc, &rect, brush);
}

double Today()
{
    SYSTEMTIME now;
    GetDeviceLocalTime(&now);
    double today = 0;
    SystemTimeToVariantTime(&now, &today);
    return std::trunc(today);
}

LRESULT PrePaint(HWND list, const ListLook& look, NMLVCUSTOMDRAW* draw)
{
    RECT client;
    GetClientRect(list, &client);
    const int perPage = static_cast<int>(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
    if (look.rows > 0 && perPage < look.rows)
        return CDRF_NOTIFYITEMDRAW;
    if (look.rows == 0) {
        FillRect(draw->nmcd.hdc, client, look.row1);
        return CDRF_NOTIFYITEMDRAW;
    }
    RECT last = {};
    last.left = LVIR_BOUNDS;
    SendMessageW(list, LVM_GETITEMRECT, look.rows - 1, reinterpret_cast<LPARAM>(&last));
    RECT below = {-10, last.bottom, client.right, client.bottom};
    FillRect(draw->nmcd.hdc, below, look.rows % 2 ? look.row2 : look.row1);
    return CDRF_NOTIFYITEMDRAW;
}

RECT LabelRect(HWND list, int row, int column)
{
    RECT rect = {};
    rect.top = column;
    rect.left = LVIR_LABEL;
    SendMessageW(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

LRESULT ItemPrePaint(HWND list, int id, const ListLook& look, NMLVCUSTOMDRAW* draw)
{
    const int row = static_cast<int>(draw->nmcd.dwItemSpec);
    HDC dc = draw->nmcd.hdc;
    RECT client;
    GetClientRect(list, &client);
    RECT rect = LabelRect(list, row, 0);
    rect.left -= 10;
    rect.right = listFullWidth;
    if (rect.bottom > client.bottom - 20)
        rect.bottom += 20;
    if (row == look.rows - 1 && rect.bottom < client.bottom)
        rect.bottom = client.bottom;

    draw->clrText = look.text;
    draw->clrTextBk = RowColour(look, row);
    FillRect(dc, rect, RowBrush(look, row));
    if (row == static_cast<int>(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0))) {
        draw->clrText = SELECTED_TEXT;
        draw->clrTextBk = SELECTED_BACKGROUND;
        RECT marked = LabelRect(list, row, 0);
        marked.left = -1;
        marked.right = listFullWidth;
        HBRUSH blue = CreateSolidBrush(SELECTED_BACKGROUND);
        FillRect(dc, marked, blue);
        DeleteObject(blue);
    }
    if ((settings.pastdueflag == 1 || settings.doneflag == 1) && row >= 0) {
        const CEOID oid = id == ID_ACTIVITY_LIST ? ActivityOf(row) : LastActivityOf(row);
        ActivityRecord record;
        if (oid && ReadForPaint(oid, &record)) {
            const bool done = record.done == 1;
            if (settings.pastdueflag == 1 && !done && record.nextDate != 0.0 && Today() > std::trunc(record.nextDate))
                draw->clrText = look.pastDue;
            if (settings.doneflag == 1 && done)
                draw->clrText = look.done;
        }
    }
    return CDRF_NOTIFYPOSTPAINT;
}

void DrawLine(HDC dc, int x1, int y1, int x2, int y2)
{
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

LRESULT ItemPostPaint(HWND list, int id, const ListLook& look, NMLVCUSTOMDRAW* draw)
{
    const int row = static_cast<int>(draw->nmcd.dwItemSpec);
    HDC dc = draw->nmcd.hdc;
    if (id == ID_ACTIVITY_LIST && settings.noteiconflag == 1 && hNoteIcon) {
        ActivityRecord record;
        if (ReadForPaint(ActivityOf(row), &record) && record.notes[0]) {
            const RECT label = LabelRect(list, row, 0);
            DrawIconEx(dc, label.right - 13, label.top + (label.bottom - label.top - 9) / 2, hNoteIcon, 0, 0, 0,
                       nullptr, DI_NORMAL);
        }
    }
    if (look.lines == 0)
        return 0;
    HPEN pen = CreatePen(PS_SOLID, 1, look.line);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    const int R = listFullWidth;
    for (int c = 0; c < MAX_DRAWN_COLUMNS; ++c) {
        RECT cell = {};
        cell.top = c;
        cell.left = LVIR_LABEL;
        if (!SendMessageW(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell)))
            break;
        if (look.lines & 1) {
            DrawLine(dc, cell.left - 1, cell.top - 1, R, cell.top - 1);
            DrawLine(dc, cell.left - 1, cell.bottom, R - 1, cell.bottom);
        }
        if (look.lines & 2) {
            DrawLine(dc, cell.left - 1, cell.top - 1, cell.left - 1, cell.bottom);
            DrawLine(dc, R - 1, cell.top - 1, R - 1, cell.bottom);
        }
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    return 0;
}

LRESULT OnCustomDraw(HWND list, int id, NMLVCUSTOMDRAW* draw)
{
    const ListLook look = LookOf(id);
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return PrePaint(list, look, draw);
    case CDDS_ITEMPREPAINT: return ItemPrePaint(list, id, look, draw);
    case CDDS_ITEMPOSTPAINT: return ItemPostPaint(list, id, look, draw);
    default: return 0;
    }
}

} // namespace

LRESULT OnListNotify(HWND, WPARAM wParam, LPARAM lParam)
{
    const int id = static_cast<int>(wParam);
    NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
    if ((id != ID_CONTACTS_LIST && id != ID_ACTIVITY_LIST) || !header)
        return 0;
    HWND list = header->hwndFrom;
    switch (header->code) {
    case LVN_GETDISPINFOW: return OnGetDispInfo(id, reinterpret_cast<NMLVDISPINFOW*>(lParam));
    case LVN_ODFINDITEMW: return -1;
    case LVN_ODCACHEHINT: return 0;
    case NM_CUSTOMDRAW: return OnCustomDraw(list, id, reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
    case LVN_COLUMNCLICK: {
        const int column = reinterpret_cast<NMLISTVIEW*>(lParam)->iSubItem;
        if (id == ID_CONTACTS_LIST)
            SortContactsByColumn(list, column);
        else
            SortActivitiesByColumn(list, column);
        return 0;
    }
    default: return 0;
    }
}
