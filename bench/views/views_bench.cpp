// Start-up to the first painted lists, a tap on a contact with 1,000
// activities, a column sort of them, a contacts re-sort by a last-activity
// column, finds and an alphabet index jump: on 5,000 contacts with 65,535
// activities, and on an empty store.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>

#include "resources/resource.h"
#include "settings/settings.h"
#include "shell/app_state.h"
#include "store/volume.h"
#include "tests/harness/scenario.h"
#include "tools/vtgenerate/store_generator.h"
#include "views/find_bar.h"
#include "views/list_views.h"
#include "views/sorting.h"

namespace {

constexpr int CONTACTS = 5000;
constexpr int ACTIVITIES = 65535;
constexpr int BUSY = 1000;

struct Figures {
    double startup = 0, tap = 0, sort = 0, resort = 0;
    double findContactField = 0, findLatestActivity = 0, findNotes = 0, indexJump = 0;
    int rows = 0, busyRows = 0;
    int foundByField = 0, foundByActivity = 0, foundNotes = 0;
    long sortReads = 0;
};

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * counter.QuadPart / frequency.QuadPart;
}

// The go button of the find bar, with a field and a text, timed.
double TimedFind(Scenario& scenario, int field, const wchar_t* text)
{
    HWND box = GetDlgItem(hMainWindow, ID_FIND_FIELD_BOX);
    SendMessageW(box, CB_SETCURSEL, field, 0);
    SendMessageW(hMainWindow, WM_COMMAND, MAKEWPARAM(ID_FIND_FIELD_BOX, CBN_CLOSEUP), reinterpret_cast<LPARAM>(box));
    SetWindowTextW(GetDlgItem(hMainWindow, ID_FIND_TEXT_BOX), text);
    scenario.PumpPending();
    RECT client;
    GetClientRect(hMainWindow, &client);
    const double start = Now();
    scenario.Tap(hMainWindow, client.right - 15, 28);
    scenario.PumpPending();
    return Now() - start;
}

void TapHeader(Scenario& scenario, HWND list, int column)
{
    HWND header = ListView_GetHeader(list);
    RECT item = {};
    SendMessageW(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&item));
    scenario.Tap(header, (item.left + item.right) / 2, (item.top + item.bottom) / 2);
    scenario.PumpPending();
}

bool Measure(bool large, Figures* figures)
{
    Scenario scenario;
    GeneratedStore store;
    if (large && !GenerateStore(VolumePath(), CONTACTS, ACTIVITIES, BUSY, &store)) {
        std::fprintf(stderr, "the store could not be generated\n");
        return false;
    }
    double start = Now();
    if (!scenario.Start())
        return false;
    scenario.PumpPending();
    figures->startup = Now() - start;

    HWND contacts = GetDlgItem(hMainWindow, ID_CONTACTS_LIST);
    HWND activities = GetDlgItem(hMainWindow, ID_ACTIVITY_LIST);
    figures->rows = static_cast<int>(SendMessageW(contacts, LVM_GETITEMCOUNT, 0, 0));
    int busyRow = 0;
    for (int row = 0; row < figures->rows; ++row)
        if (contactOIDList[row] == store.busyContact)
            busyRow = row;

    start = Now();
    SendMessageW(contacts, LVM_ENSUREVISIBLE, busyRow, FALSE);
    SelectRowByTap(contacts, busyRow);
    UpdateWindow(activities);
    scenario.PumpPending();
    figures->tap = Now() - start;
    figures->busyRows = static_cast<int>(SendMessageW(activities, LVM_GETITEMCOUNT, 0, 0));

    const long reads = sortRecordReads;
    start = Now();
    TapHeader(scenario, activities, 1);
    figures->sort = Now() - start;
    figures->sortReads = sortRecordReads - reads;

    start = Now();
    TapHeader(scenario, contacts, 2);
    figures->resort = Now() - start;

    // Back to the contacts by name, then the alphabet index's last group:
    // no generated name begins with X, Y or Z, so the walk goes through
    // every row.
    TapHeader(scenario, contacts, 0);
    start = Now();
    scenario.Tap(hMainWindow, 228, 8);
    scenario.PumpPending();
    figures->indexJump = Now() - start;

    scenario.Command(IDM_FIND);
    scenario.PumpPending();
    figures->findContactField = TimedFind(scenario, 4, L"LUND");   // Company
    figures->foundByField = contactCount;
    figures->findLatestActivity = TimedFind(scenario, 21 + 2, L"visit");   // the latest activity's Event
    figures->foundByActivity = contactCount;

    // The busy contact's 1,000 activities by their Notes.
    TimedFind(scenario, 0, L"");
    for (int row = 0; row < contactCount; ++row)
        if (contactOIDList[row] == store.busyContact)
            busyRow = row;
    SendMessageW(contacts, LVM_ENSUREVISIBLE, busyRow, FALSE);
    SelectRowByTap(contacts, busyRow);
    scenario.PumpPending();
    scenario.Tap(hMainWindow, 35, 28);
    figures->findNotes = TimedFind(scenario, 4, L"order 1");
    figures->foundNotes = activityCount;
    return scenario.Close() == 0;
}

}  // namespace

int main()
{
    // The empty store first: the device's object store is mounted once per
    // process, and the large run fills it.
    Figures empty, large;
    if (!Measure(false, &empty) || !Measure(true, &large))
        return 1;
    std::printf("%-44s %12s %12s\n", "views (ms)", "empty store", "large store");
    std::printf("%-44s %12.1f %12.1f\n", "start-up to the first painted lists", empty.startup, large.startup);
    std::printf("%-44s %12.1f %12.1f\n", "tap on the contact with 1,000 activities", empty.tap, large.tap);
    std::printf("%-44s %12.1f %12.1f\n", "column sort of those activities", empty.sort, large.sort);
    std::printf("%-44s %12.1f %12.1f\n", "contacts re-sort by a last-activity column", empty.resort, large.resort);
    std::printf("%-44s %12.1f %12.1f\n", "alphabet index jump to the last group", empty.indexJump, large.indexJump);
    std::printf("%-44s %12.1f %12.1f\n", "contacts find by Company", empty.findContactField, large.findContactField);
    std::printf("%-44s %12.1f %12.1f\n", "contacts find by the latest activity's Event", empty.findLatestActivity,
                large.findLatestActivity);
    std::printf("%-44s %12.1f %12.1f\n", "activity find by Notes", empty.findNotes, large.findNotes);
    std::printf("large store: %d contacts listed, %d activities on the tapped contact, %ld records read by the sort\n",
                large.rows, large.busyRows, large.sortReads);
    std::printf("large store finds: %d contacts by Company, %d by the latest Event, %d activities by Notes\n",
                large.foundByField, large.foundByActivity, large.foundNotes);
    // Each find and the jump should take at most a fifth of the empty store's start-up.
    const double goal = 0.2 * empty.startup;
    const double rows[] = {large.indexJump, large.findContactField, large.findLatestActivity, large.findNotes};
    const char* names[] = {"index jump", "find by Company", "find by latest Event", "find by Notes"};
    for (int i = 0; i < 4; ++i)
        std::printf("%-44s %9.2fx of the empty start-up (goal 0.20x) %s\n", names[i], rows[i] / empty.startup,
                    rows[i] <= goal ? "met" : "MISSED");
    return 0;
}
