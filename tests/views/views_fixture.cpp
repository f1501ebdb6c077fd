#include "tests/views/views_fixture.h"

#include "tests/harness/device_contacts.h"
#include "settings/registry_values.h"
#include "store/activity_database.h"
#include "store/activity_queries.h"
#include "store/activity_record.h"
#include "resources/resource.h"
#include "views/list_views.h"

#include <oleauto.h>

#include <cmath>

double TodayDate()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    double today = 0;
    SystemTimeToVariantTime(&now, &today);
    return std::trunc(today);
}

int ClientTop(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, hMainWindow, reinterpret_cast<POINT*>(&rect), 2);
    return rect.top;
}

void ViewsTest::SetUp()
{
    scenario = std::make_unique<Scenario>();
    ASSERT_TRUE(EmptyDeviceContacts());
    // Contacts from A to Z (the natural order), as the tests read them.
    Setting(L"lv1sortdirection", 1);
}

void ViewsTest::TearDown()
{
    if (scenario && scenario->Running()) {
        EXPECT_EQ(0, scenario->Close());
    }
    scenario.reset();
}

HWND ViewsTest::Start()
{
    CreateSettingsKey();
    for (const auto& setting : storedFirst)
        RegWriteDword(setting.first.c_str(), setting.second);
    HWND window = scenario->Start();
    scenario->PumpPending();
    return window;
}

void ViewsTest::Find()
{
    scenario->Command(IDM_FIND);
    scenario->PumpPending();
}

CEOID ViewsTest::AddContact(const std::wstring& fileAs, const std::wstring& company, const std::wstring& categories)
{
    return AddDeviceContact(fileAs, {{4, company}}, categories);
}

CEOID ViewsTest::AddActivity(CEOID contact, const std::wstring& event, double date, double nextDate, int done,
                             const std::wstring& notes)
{
    ActivityRecord record = {};
    record.contactOid = contact;
    lstrcpynW(record.event, event.c_str(), LABEL_CAPACITY);
    lstrcpynW(record.notes, notes.c_str(), NOTES_CAPACITY);
    record.date = date;
    record.nextDate = nextDate;
    record.done = done;
    const CEOID oid = WriteActivityRecordDB(activityDatabase, NEW_ACTIVITY_RECORD, record);
    UpdateLastActivityFlag(activityDatabase, contact);
    return oid;
}

// The record is made as the database service makes it, a local heap block
// that the handler frees; the checks around the message keep both sides of
// that ownership honest.
void ViewsTest::ContactsChanged()
{
    auto* change = static_cast<CENOTIFICATION*>(LocalAlloc(LPTR, sizeof(CENOTIFICATION)));
    ASSERT_NE(nullptr, change);
    change->dwSize = sizeof *change;
    change->uType = DB_CEOID_CHANGED;
    ASSERT_TRUE(HeapValidate(GetProcessHeap(), 0, change)) << "the change record is no heap block";
    SendMessageW(scenario->MainWindow(), WM_DBNOTIFICATION, 0, reinterpret_cast<LPARAM>(change));
    EXPECT_FALSE(HeapValidate(GetProcessHeap(), 0, change)) << "the handler kept the change record";
    scenario->PumpPending();
}

std::wstring ViewsTest::Cell(HWND list, int row, int column) const
{
    const std::vector<std::wstring> cells = ListItems(list, column);
    return row < static_cast<int>(cells.size()) ? cells[row] : std::wstring();
}

void ViewsTest::TapRow(HWND list, int row)
{
    SelectRowByTap(list, row);
    scenario->PumpPending();
}

RECT HeaderItem(HWND list, int column)
{
    RECT item = {};
    SendMessageW(ListView_GetHeader(list), HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&item));
    return item;
}

void ViewsTest::TapHeader(HWND list, int column)
{
    const RECT item = HeaderItem(list, column);
    scenario->Tap(ListView_GetHeader(list), (item.left + item.right) / 2, (item.top + item.bottom) / 2);
    scenario->PumpPending();
}

int ViewsTest::StoredValue(const wchar_t* name) const
{
    DWORD value = 0;
    return RegReadDword(name, &value) == 0 ? static_cast<int>(value) : -12345;
}

RECT ViewsTest::StaleArea(HWND pane)
{
    const WindowImage shown = scenario->SettledCapture(pane);
    if (shown.bits.empty())
        ADD_FAILURE() << "pane " << GetDlgCtrlID(pane) << " shows nothing to compare";
    RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return DifferingArea(shown, scenario->SettledCapture(pane));
}
