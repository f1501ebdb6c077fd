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
#include "export/export_diagnostics.h"
#include "export/export_run.h"
#include "export/html_writer.h"
#include "platform/cedb/call_counts.h"
#include "resources/resource.h"
#include "settings/field_labels.h"
#include "settings/settings.h"
#include "shell/app_state.h"
#include "store/volume.h"
#include "bench/milliseconds.h"
#include "tests/harness/scenario.h"
#include "tools/vtgenerate/store_generator.h"
#include "views/view_diagnostics.h"
#include "views/list_views.h"
#include "views/sorting.h"

namespace {

constexpr int CONTACTS = 5000;
constexpr int ACTIVITIES = 65535;
constexpr int BUSY = 1000;

enum Operation {
    STARTUP, TAP, SORT, RESORT, CSV_EXPORT, HTML_EXPORT, INDEX_JUMP, FIND_COMPANY, FIND_LATEST_EVENT, FIND_NOTES,
    OPERATIONS
};

const char* const OPERATION_NAMES[OPERATIONS] = {
    "start-up to the first painted lists",
    "tap on the contact with 1,000 activities",
    "column sort of those activities",
    "contacts re-sort by a last-activity column",
    "CSV export, every contact and field",
    "HTML export, every contact and field",
    "alphabet index jump to the last group",
    "contacts find by Company",
    "contacts find by the latest activity's Event",
    "activity find by Notes",
};

struct Figures {
    double ms[OPERATIONS] = {};
    CedbCallCounts calls[OPERATIONS] = {};
    int rows = 0, busyRows = 0, exported = 0;
    int foundByField = 0, foundByActivity = 0, foundNotes = 0;
    long sortReads = 0;
    long fetches[OPERATIONS] = {}, reads[OPERATIONS] = {};
};

// Times one operation and counts the database calls it made.
class Measurement {
public:
    Measurement(Figures* figures, Operation operation)
        : figures_(figures), operation_(operation), before_(CedbGetCallCounts()), start_(Now())
    {
    }
    ~Measurement()
    {
        figures_->ms[operation_] = Now() - start_;
        const CedbCallCounts after = CedbGetCallCounts();
        figures_->calls[operation_] = CedbCallCounts{after.calls - before_.calls, after.opens - before_.opens};
    }

private:
    Figures* figures_;
    Operation operation_;
    CedbCallCounts before_;
    double start_;
};


// The find bar's field and text set, then its go button tapped, measured.
void TimedFind(Scenario& scenario, Figures* figures, Operation operation, int field, const wchar_t* text)
{
    HWND box = GetDlgItem(hMainWindow, ID_FIND_FIELD_BOX);
    SendMessageW(box, CB_SETCURSEL, field, 0);
    SendMessageW(hMainWindow, WM_COMMAND, MAKEWPARAM(ID_FIND_FIELD_BOX, CBN_CLOSEUP), reinterpret_cast<LPARAM>(box));
    SetWindowTextW(GetDlgItem(hMainWindow, ID_FIND_TEXT_BOX), text);
    scenario.PumpPending();
    RECT client;
    GetClientRect(hMainWindow, &client);
    Measurement measure(figures, operation);
    scenario.Tap(hMainWindow, client.right - 15, 28);
    scenario.PumpPending();
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
// every field chosen, to the closing message (which the scenario confirms),
// with the contacts it fetched and the activities it read.
void MeasureExport(Figures* figures, Operation operation, Writer writer)
{
    CEOID* oids = nullptr;
    const int contacts = static_cast<int>(ListContactNames(&oids, false, 0).size());
    std::vector<int> positions(static_cast<size_t>(contacts) + 1), contactFields, activityFields;
    for (int i = 0; i < contacts; ++i)
        positions[static_cast<size_t>(i)] = i;
    for (int f = 0; f < CONTACT_FIELD_COUNT; ++f)
        contactFields.push_back(f);
    for (int f = 0; f < ACTIVITY_FIELD_COUNT; ++f)
        activityFields.push_back(f);
    const long fetched = exportContactFetches, read = exportActivityReads;
    {
        Measurement measure(figures, operation);
        writer(oids, ACTIVITY_FIELD_COUNT, CONTACT_FIELD_COUNT, contacts, activityFields.data(), contactFields.data(),
               positions.data());
    }
    figures->exported = contacts;
    figures->fetches[operation] = exportContactFetches - fetched;
    figures->reads[operation] = exportActivityReads - read;
    std::free(oids);
}

bool Measure(bool large, Figures* figures)
{
    Scenario scenario;
    GeneratedStore store;
    if (large && !GenerateStore(VolumePath(), CONTACTS, ACTIVITIES, BUSY, &store)) {
        std::fprintf(stderr, "the store could not be generated\n");
        return false;
    }
    {
        Measurement measure(figures, STARTUP);
        if (!scenario.Start())
            return false;
        scenario.PumpPending();
    }

    HWND contacts = GetDlgItem(hMainWindow, ID_CONTACTS_LIST);
    HWND activities = GetDlgItem(hMainWindow, ID_ACTIVITY_LIST);
    figures->rows = static_cast<int>(SendMessageW(contacts, LVM_GETITEMCOUNT, 0, 0));
    int busyRow = 0;
    for (int row = 0; row < figures->rows; ++row)
        if (contactOIDList[row] == store.busyContact)
            busyRow = row;

    {
        Measurement measure(figures, TAP);
        SendMessageW(contacts, LVM_ENSUREVISIBLE, busyRow, FALSE);
        SelectRowByTap(contacts, busyRow);
        UpdateWindow(activities);
        scenario.PumpPending();
    }
    figures->busyRows = static_cast<int>(SendMessageW(activities, LVM_GETITEMCOUNT, 0, 0));

    const long reads = sortRecordReads;
    {
        Measurement measure(figures, SORT);
        TapHeader(scenario, activities, 1);
    }
    figures->sortReads = sortRecordReads - reads;

    {
        Measurement measure(figures, RESORT);
        TapHeader(scenario, contacts, 2);
    }
    MeasureExport(figures, CSV_EXPORT, ExportCsv);
    MeasureExport(figures, HTML_EXPORT, ExportHtml);

    // Back to the contacts by name, then the alphabet index's last group:
    // no generated name begins with X, Y or Z, so the walk goes through
    // every row.
    TapHeader(scenario, contacts, 0);
    {
        Measurement measure(figures, INDEX_JUMP);
        scenario.Tap(hMainWindow, 228, 8);
        scenario.PumpPending();
    }

    scenario.Command(IDM_FIND);
    scenario.PumpPending();
    TimedFind(scenario, figures, FIND_COMPANY, 4, L"LUND");
    figures->foundByField = contactCount;
    TimedFind(scenario, figures, FIND_LATEST_EVENT, 21 + 2, L"visit");
    figures->foundByActivity = contactCount;

    // The busy contact's 1,000 activities by their Notes.
    Figures unused;
    TimedFind(scenario, &unused, FIND_COMPANY, 0, L"");
    for (int row = 0; row < contactCount; ++row)
        if (contactOIDList[row] == store.busyContact)
            busyRow = row;
    SendMessageW(contacts, LVM_ENSUREVISIBLE, busyRow, FALSE);
    SelectRowByTap(contacts, busyRow);
    scenario.PumpPending();
    scenario.Tap(hMainWindow, 35, 28);
    TimedFind(scenario, figures, FIND_NOTES, 4, L"order 1");
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
    // Each figure also as a multiple of this run's empty-store start-up, the
    // yardstick that makes runs on differently loaded machines comparable.
    const double yardstick = empty.ms[STARTUP] > 0 ? empty.ms[STARTUP] : 1;
    std::printf("%-44s %18s %18s %22s\n", "views (ms, x empty start-up)", "empty store", "large store",
                "engine calls (opens)");
    for (int op = 0; op < OPERATIONS; ++op) {
        char calls[48];
        std::snprintf(calls, sizeof calls, "%ld (%ld) / %ld (%ld)", empty.calls[op].calls, empty.calls[op].opens,
                      large.calls[op].calls, large.calls[op].opens);
        std::printf("%-44s %10.1f %6.2fx %10.1f %6.2fx %22s\n", OPERATION_NAMES[op], empty.ms[op],
                    empty.ms[op] / yardstick, large.ms[op], large.ms[op] / yardstick, calls);
    }
    std::printf("large store: %d contacts listed, %d activities on the tapped contact, %ld records read by the sort\n",
                large.rows, large.busyRows, large.sortReads);
    std::printf("large store exports (target: at most 2x): %d contacts; CSV fetched %ld contacts and read %ld "
                "activities, HTML fetched %ld and read %ld\n",
                large.exported, large.fetches[CSV_EXPORT], large.reads[CSV_EXPORT], large.fetches[HTML_EXPORT],
                large.reads[HTML_EXPORT]);
    std::printf("large store finds: %d contacts by Company, %d by the latest Event, %d activities by Notes\n",
                large.foundByField, large.foundByActivity, large.foundNotes);
    return 0;
}
