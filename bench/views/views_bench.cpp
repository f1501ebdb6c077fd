// Start-up to the first painted lists, a tap on a contact with 1,000
// activities, a column sort of them, a contacts re-sort by a last-activity
// column, a CSV and an HTML export of every contact with every field, the
// alphabet jump and the finds: on 5,000 contacts with 65,535 activities
// (three rounds) and on an empty store (five rounds), each beside the
// platform's floor: a bare window of the same kinds of controls, in this
// process and launched as a program.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/app_folders.h"
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
#include "bench/statistics.h"
#include "bench/views/bare_window.h"
#include "bench/views/process_launch.h"
#include "platform/poom/contact_records.h"
#include "tests/harness/scenario.h"
#include "tools/vtgenerate/store_generator.h"
#include "views/view_diagnostics.h"
#include "views/list_views.h"
#include "views/sorting.h"

namespace {

constexpr int CONTACTS = 5000;
constexpr int ACTIVITIES = 65535;
constexpr int BUSY = 1000;
constexpr int EMPTY_ROUNDS = 5, LARGE_ROUNDS = 3, LAUNCHES = 5;

// VIEWS_BENCH_MARKS=1 brackets each measured operation with debug strings
// ("mark begin NAME", "mark end NAME"), so a Wine trace of the run
// (WINEDEBUG=+server,+debugstr on a new wineserver) can count the server
// calls each makes; it also runs one round of each store and no launches.
const bool MARKS = std::getenv("VIEWS_BENCH_MARKS") != nullptr;

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

// The most each may take on the large store, as a multiple of the empty-store start-up.
const double GOALS[OPERATIONS] = {2, 0.1, 0.1, 0.2, 1, 1, 0.1, 0.1, 0.1, 0.1};

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
        Mark("begin");
    }
    ~Measurement()
    {
        figures_->ms[operation_] = Now() - start_;
        Mark("end");
        const CedbCallCounts after = CedbGetCallCounts();
        figures_->calls[operation_] = CedbCallCounts{after.calls - before_.calls, after.opens - before_.opens};
    }

private:
    void Mark(const char* which) const
    {
        if (!MARKS)
            return;
        char text[96];
        std::snprintf(text, sizeof text, "mark %s %s", which, OPERATION_NAMES[operation_]);
        OutputDebugStringA(text);
    }

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

// The find bar by a contact field, by the latest activity's Event, and the
// busy contact's 1,000 activities by their Notes.
void MeasureFinds(Scenario& scenario, Figures* figures, CEOID busyContact)
{
    HWND contacts = GetDlgItem(hMainWindow, ID_CONTACTS_LIST);
    scenario.Command(IDM_FIND);
    scenario.PumpPending();
    TimedFind(scenario, figures, FIND_COMPANY, 4, L"LUND");
    figures->foundByField = contactCount;
    TimedFind(scenario, figures, FIND_LATEST_EVENT, 21 + 2, L"visit");
    figures->foundByActivity = contactCount;

    Figures unused;
    TimedFind(scenario, &unused, FIND_COMPANY, 0, L"");
    int busyRow = 0;
    for (int row = 0; row < contactCount; ++row)
        if (contactOIDList[row] == busyContact)
            busyRow = row;
    SendMessageW(contacts, LVM_ENSUREVISIBLE, busyRow, FALSE);
    SelectRowByTap(contacts, busyRow);
    scenario.PumpPending();
    scenario.Tap(hMainWindow, 35, 28);
    TimedFind(scenario, figures, FIND_NOTES, 4, L"order 1");
    figures->foundNotes = activityCount;
}

bool Measure(bool large, Figures* figures)
{
    Scenario scenario;
    GeneratedStore store;
    // The device's contacts outlive a scenario: a new round starts without them.
    std::vector<poom::ContactData> earlier;
    poom::LoadAllContacts(earlier);
    for (const poom::ContactData& contact : earlier)
        poom::DeleteContactRecord(contact.oid);
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

    MeasureFinds(scenario, figures, store.busyContact);
    return scenario.Close() == 0;
}

// The bare window created, shown and painted in this process.
double BareWindowOnce()
{
    if (MARKS)
        OutputDebugStringA("mark begin bare window, created and painted");
    const double start = Now();
    HWND window = CreateBareWindow(GetModuleHandleW(nullptr), false);
    if (!window)
        return -1;
    UpdateWindow(window);
    MSG quit = {};
    PumpPending(&quit);
    const double took = Now() - start;
    if (MARKS)
        OutputDebugStringA("mark end bare window, created and painted");
    DestroyWindow(window);
    PumpPending(&quit);
    return took;
}

// The program's folder, beside this benchmark's build folder.
std::wstring BuildFile(const wchar_t* relative)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    for (int up = 0; up < 3; ++up)
        path.resize(path.find_last_of(L'\\'));
    return path + L"\\" + relative;
}

// vantaro.exe and the bare window program, launched in turn from a folder of
// their own with an empty store (made before the first launch, so no
// question about a missing one stands in the way): medians of LAUNCHES each,
// after one launch of each that is not counted.
bool MeasureLaunches(Summary* program, Summary* bare)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"vantaro_launch_bench";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring vantaro = folder + L"\\vantaro.exe", bareProgram = folder + L"\\bare_window.exe";
    if (!CopyFileW(BuildFile(L"vantaro.exe").c_str(), vantaro.c_str(), FALSE) ||
        !CopyFileW(BuildFile(L"bench\\views\\bare_window.exe").c_str(), bareProgram.c_str(), FALSE)) {
        std::fprintf(stderr, "the programs to launch could not be copied\n");
        return false;
    }
    OverrideAppFolders(folder, folder);
    MountDBVolume(nullptr);
    UnmountDBVolume();
    OverrideAppFolders(L"", L"");
    wchar_t device[MAX_PATH] = {};
    const DWORD kept = GetEnvironmentVariableW(L"VANTARO_DEVICE_DIR", device, MAX_PATH);
    SetEnvironmentVariableW(L"VANTARO_DEVICE_DIR", folder.c_str());
    std::vector<double> programRounds, bareRounds;
    for (int round = 0; round <= LAUNCHES; ++round) {
        const double p = LaunchUntilIdle(vantaro, folder), b = LaunchUntilIdle(bareProgram, folder);
        if (round == 0)
            continue;
        programRounds.push_back(p);
        bareRounds.push_back(b);
    }
    SetEnvironmentVariableW(L"VANTARO_DEVICE_DIR", kept ? device : nullptr);
    *program = Summarize(programRounds);
    *bare = Summarize(bareRounds);
    return program->ok() && bare->ok();
}

const char* Verdict(double ratio, double goal) { return ratio <= goal ? "within" : "OVER"; }

}  // namespace

int main()
{
    // The empty store first: the device's object store is mounted once per
    // process, and the large runs fill it. Its start-ups alternate with the
    // bare window's, so both see the same machine.
    std::vector<Figures> empty(MARKS ? 1 : EMPTY_ROUNDS), large(MARKS ? 1 : LARGE_ROUNDS);
    std::vector<double> bareRounds;
    for (Figures& figures : empty) {
        bareRounds.push_back(BareWindowOnce());
        if (!Measure(false, &figures))
            return 1;
    }
    Summary program, bareProgram;
    if (!MARKS && !MeasureLaunches(&program, &bareProgram))
        return 1;
    for (Figures& figures : large)
        if (!Measure(true, &figures))
            return 1;

    auto summarize = [](const std::vector<Figures>& rounds, int op) {
        std::vector<double> ms;
        for (const Figures& figures : rounds)
            ms.push_back(figures.ms[op]);
        return Summarize(ms);
    };
    // Each figure also as a multiple of this run's empty-store start-up (the
    // median of its rounds), the yardstick that makes runs on differently
    // loaded machines comparable.
    const double yardstick = summarize(empty, STARTUP).median;
    const Summary bare = Summarize(bareRounds);
    std::printf("%-44s %9s %22s %8s %12s %22s\n", "views (ms; medians, spread min-max)", "empty", "large",
                "x empty", "goal", "engine calls (opens)");
    for (int op = 0; op < OPERATIONS; ++op) {
        const Summary e = summarize(empty, op), l = summarize(large, op);
        char spread[32], calls[48], goal[24];
        std::snprintf(spread, sizeof spread, "%.1f (%.1f-%.1f)", l.median, l.low, l.high);
        std::snprintf(calls, sizeof calls, "%ld (%ld) / %ld (%ld)", empty[0].calls[op].calls,
                      empty[0].calls[op].opens, large[0].calls[op].calls, large[0].calls[op].opens);
        const double ratio = l.median / yardstick;
        std::snprintf(goal, sizeof goal, "%s %.1fx", Verdict(ratio, GOALS[op]), GOALS[op]);
        std::printf("%-44s %9.1f %22s %7.2fx %12s %22s\n", OPERATION_NAMES[op], e.median, spread, ratio, goal, calls);
    }
    const Figures& last = large.back();
    std::printf("large store: %d contacts listed, %d activities on the tapped contact, %ld records read by the sort\n",
                last.rows, last.busyRows, last.sortReads);
    std::printf("large store exports: %d contacts; CSV fetched %ld contacts and read %ld activities, HTML fetched %ld "
                "and read %ld\n",
                last.exported, last.fetches[CSV_EXPORT], last.reads[CSV_EXPORT], last.fetches[HTML_EXPORT],
                last.reads[HTML_EXPORT]);
    std::printf("large store finds: %d contacts by Company, %d by the latest Event, %d activities by Notes\n",
                last.foundByField, last.foundByActivity, last.foundNotes);

    // The platform's floor, and the program's distance from it.
    const Summary e = summarize(empty, STARTUP);
    std::printf("%-44s %9s %22s %8s %12s\n", "floor (ms; medians, spread min-max)", "", "", "ratio", "goal");
    std::printf("%-44s %9.1f %9s(%.1f-%.1f)\n", "empty-store start-up (the yardstick)", e.median, "", e.low, e.high);
    std::printf("%-44s %9.1f %9s(%.1f-%.1f)\n", "bare window, created and painted", bare.median, "", bare.low,
                bare.high);
    std::printf("%-44s %9s %22s %7.2fx %s 1.5x\n", "empty-store start-up / bare window", "", "",
                yardstick / bare.median, Verdict(yardstick / bare.median, 1.5));
    std::printf("%-44s %9.1f %9s(%.1f-%.1f)\n", "launch vantaro.exe until idle and painted", program.median, "",
                program.low, program.high);
    std::printf("%-44s %9.1f %9s(%.1f-%.1f)\n", "launch bare_window.exe the same way", bareProgram.median, "",
                bareProgram.low, bareProgram.high);
    std::printf("%-44s %9s %22s %7.2fx %s 1.5x\n", "vantaro.exe launch / bare program launch", "", "",
                program.median / bareProgram.median, Verdict(program.median / bareProgram.median, 1.5));
    return 0;
}
