// Start-up to the first painted lists, a tap on a contact with 1,000
// activities, a column sort of them, a contacts re-sort by a last-activity
// column, and a CSV and an HTML export of every contact with every field: on
// 5,000 contacts with 65,535 activities, and on an empty store.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "contacts/contact_source.h"
#include "export/csv_writer.h"
#include "export/export_run.h"
#include "export/html_writer.h"
#include "settings/field_labels.h"
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
    double startup = 0, tap = 0, sort = 0, resort = 0, csv = 0, html = 0;
    int rows = 0, busyRows = 0, exported = 0;
    long sortReads = 0, csvFetches = 0, csvReads = 0, htmlFetches = 0, htmlReads = 0;
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

using Writer = void (*)(const CEOID*, int, int, int, const int*, const int*, const int*);

// One export as the export dialog starts it with every named contact and
// every field chosen, to the closing message (which the scenario confirms).
double TimeExport(Writer writer, int* contacts, long* fetches, long* reads)
{
    CEOID* oids = nullptr;
    *contacts = static_cast<int>(ListContactNames(&oids, false, 0).size());
    std::vector<int> positions(static_cast<size_t>(*contacts) + 1), contactFields, activityFields;
    for (int i = 0; i < *contacts; ++i)
        positions[static_cast<size_t>(i)] = i;
    for (int f = 0; f < CONTACT_FIELD_COUNT; ++f)
        contactFields.push_back(f);
    for (int f = 0; f < ACTIVITY_FIELD_COUNT; ++f)
        activityFields.push_back(f);
    const long fetched = exportContactFetches, read = exportActivityReads;
    const double start = Now();
    writer(oids, ACTIVITY_FIELD_COUNT, CONTACT_FIELD_COUNT, *contacts, activityFields.data(), contactFields.data(),
           positions.data());
    const double elapsed = Now() - start;
    *fetches = exportContactFetches - fetched;
    *reads = exportActivityReads - read;
    std::free(oids);
    return elapsed;
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

    figures->csv = TimeExport(ExportCsv, &figures->exported, &figures->csvFetches, &figures->csvReads);
    figures->html = TimeExport(ExportHtml, &figures->exported, &figures->htmlFetches, &figures->htmlReads);
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
    std::printf("%-44s %12.1f %12.1f\n", "CSV export, every contact and field", empty.csv, large.csv);
    std::printf("%-44s %12.1f %12.1f\n", "HTML export, every contact and field", empty.html, large.html);
    std::printf("large store: %d contacts listed, %d activities on the tapped contact, %ld records read by the sort\n",
                large.rows, large.busyRows, large.sortReads);
    std::printf("large store exports: %d contacts; CSV fetched %ld contacts and read %ld activities, "
                "HTML fetched %ld and read %ld\n",
                large.exported, large.csvFetches, large.csvReads, large.htmlFetches, large.htmlReads);
    std::printf("exports against the empty-store start-up (target: at most 2x): CSV %.2fx, HTML %.2fx\n",
                large.csv / empty.startup, large.html / empty.startup);
    return 0;
}
