// Start-up to the first painted lists, a tap on a contact with 1,000
// activities, a column sort of them and a contacts re-sort by a last-activity
// column: on 5,000 contacts with 65,535 activities, and on an empty store.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>

#include "settings/settings.h"
#include "shell/app_state.h"
#include "store/volume.h"
#include "tests/harness/scenario.h"
#include "tools/vtgenerate/store_generator.h"
#include "views/list_views.h"
#include "views/sorting.h"

namespace {

constexpr int CONTACTS = 5000;
constexpr int ACTIVITIES = 65535;
constexpr int BUSY = 1000;

struct Figures {
    double startup = 0, tap = 0, sort = 0, resort = 0;
    int rows = 0, busyRows = 0;
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
    std::printf("large store: %d contacts listed, %d activities on the tapped contact, %ld records read by the sort\n",
                large.rows, large.busyRows, large.sortReads);
    return 0;
}
