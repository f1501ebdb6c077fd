// Purge "By Date" of every contact and both orphan tools on 5,000 contacts
// with 65,535 activities (three rounds each, on a new store every time), and
// mounts of crafted volume files, each beside the empty-store start-up of
// the same run (the yardstick of the views benchmark). "--crafted" measures
// the crafted files only.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "activity/purge.h"
#include "platform/poom/contact_records.h"
#include "store/activity_database.h"
#include "store/database.h"
#include "store/volume.h"
#include "bench/empty_store_startup.h"
#include "bench/milliseconds.h"
#include "bench/statistics.h"
#include "tests/cedb/crafted_volumes.h"
#include "tests/harness/scenario.h"
#include "tools/vtgenerate/store_generator.h"

namespace {

constexpr int CONTACTS = 5000;
constexpr int ACTIVITIES = 65535;
constexpr int BUSY = 1000;
constexpr int ROUNDS = 3;
constexpr double GOAL = 1.0;  // of the empty-store start-up

// Runs the operation on a new large store; returns its time, and the
// activities left in *left.
double OnLargeStore(const std::function<void(const GeneratedStore&)>& prepare, const std::function<int()>& operation,
                    int* result, int* left)
{
    Scenario scenario;
    GeneratedStore store;
    std::vector<poom::ContactData> all;
    poom::LoadAllContacts(all);
    for (const poom::ContactData& contact : all)
        poom::DeleteContactRecord(contact.oid);
    if (!GenerateStore(VolumePath(), CONTACTS, ACTIVITIES, BUSY, &store) || !scenario.Start())
        return -1;
    scenario.PumpPending();
    if (prepare)
        prepare(store);
    const double start = Now();
    *result = operation();
    const double took = Now() - start;
    *left = CountActivityRecordsDB(L"ActivityDatabase");
    scenario.Close();
    return took;
}

// The operation on ROUNDS new large stores: median and spread of its time.
void Row(const char* name, const std::function<void(const GeneratedStore&)>& prepare,
         const std::function<int()>& operation, double yardstick)
{
    std::vector<double> rounds;
    int result = 0, left = 0;
    for (int round = 0; round < ROUNDS; ++round)
        rounds.push_back(OnLargeStore(prepare, operation, &result, &left));
    const Summary took = Summarize(rounds);
    char spread[32];
    std::snprintf(spread, sizeof spread, "(%.1f-%.1f)", took.low, took.high);
    std::printf("%-46s %10.1f %8.2fx %-17s %s %.0fx   result %6d, %6d activities left\n", name, took.median,
                took.median / yardstick, spread, took.median / yardstick <= GOAL ? "within" : "OVER", GOAL, result,
                left);
}

// Mounts of 4 MB volume files made to cost the most per byte: damage
// followed by an entry header every few bytes, each claiming the rest of the
// file (refused), and records of 65,535 properties each (read).
void CraftedVolumeRows(double yardstick)
{
    const std::pair<const char*, std::string> files[] = {
        {"mount 4 MB of candidate entries", cedb_test::CandidateHeadersVolume(4 << 20)},
        {"mount 4 MB of 65,535-property records", cedb_test::WideRecordsVolume(4 << 20, 0xFFFF)},
    };
    wchar_t folder[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"crafted.vol";
    for (const auto& file : files) {
        HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(out, file.second.data(), static_cast<DWORD>(file.second.size()), &written, nullptr);
        CloseHandle(out);
        CEGUID volume;
        const double start = Now();
        const BOOL mounted = CeMountDBVol(&volume, path.c_str(), OPEN_EXISTING);
        const double took = Now() - start;
        if (mounted)
            CeUnmountDBVol(&volume);
        DeleteFileW(path.c_str());
        std::printf("%-46s %10.1f %8.2fx   %s\n", file.first, took, took / yardstick, mounted ? "read" : "refused");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const double yardstick = EmptyStoreStartUp();
    if (yardstick <= 0)
        return 1;
    std::printf("%-46s %10s %9s %-17s\n", "maintenance (ms; medians, spread)", "large", "ratio", "spread");
    std::printf("%-46s %10.1f %8.2fx   median of %d\n", "empty-store start-up (the yardstick)", yardstick, 1.0,
                YARDSTICK_ROUNDS);
    CraftedVolumeRows(yardstick);
    if (argc > 1 && std::strcmp(argv[1], "--crafted") == 0)
        return 0;

    // The generated dates run over 3,000 days from 2015: about half go.
    Row("purge By Date, all 5,000 contacts", nullptr, [] { PurgeActivities(0, 42005.0 + 1500); return 0; },
        yardstick);
    // A tenth of the contacts deleted on the device leave their activities orphaned.
    auto orphan = [](const GeneratedStore& store) {
        for (size_t i = 0; i < store.contacts.size(); i += 10)
            poom::DeleteContactRecord(store.contacts[i]);
    };
    Row("remove orphans among 65,535 activities", orphan, [] { return RemoveOrphans(); }, yardstick);
    // The generated activities keep no FileAs: a contact filed under none
    // takes every orphan.
    auto orphanWithHeir = [&](const GeneratedStore& store) {
        orphan(store);
        poom::SaveContactRecord(poom::ContactData());
    };
    Row("link orphans among 65,535 activities", orphanWithHeir, [] { return LinkOrphans(); }, yardstick);
    return 0;
}
