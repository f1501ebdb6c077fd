// Processes that die without closing the volume: a writer rewriting
// activities that dies right after a seeded number of acknowledged writes
// (every acknowledged write must read back whole), and a new volume's seeding.
#include "base/app_folders.h"
#include "store/activity_database.h"
#include "store/activity_queries.h"
#include "store/volume.h"
#include "tests/harness/activity_readers.h"
#include "tests/harness/scenario.h"
#include "tests/store/store_fixture.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <random>
#include <string>
#include <vector>

namespace {

const int RECORDS = 12;
const wchar_t WRITER_SWITCH[] = L"--writer";
const wchar_t SEEDER_SWITCH[] = L"--seed-and-die";

// Every field of generation g carries g, so a record mixing two writes shows.
ActivityRecord Generation(CEOID contact, int g)
{
    ActivityRecord record = {};
    record.contactOid = contact;
    for (wchar_t* text : {record.fileAs, record.event, record.nextAction, record.user1, record.user2, record.user3})
        std::swprintf(text, LABEL_CAPACITY, L"%d", g);
    std::swprintf(record.notes, NOTES_CAPACITY, L"notes %d %0300d", g, g);
    record.lastFlag = g % 2;
    record.date = g;
    record.nextDate = g + 0.5;
    record.remindIndex = g % 14;
    record.done = g % 3;
    return record;
}

// The writer: rewrites the records in turn, generation after generation, and
// dies without closing anything right after its last-th acknowledged write.
int RunWriter(const std::wstring& folder, int last)
{
    OverrideAppFolders(folder, folder);
    if (MountDBVolume(nullptr) == MOUNT_FAILED || !OpenActivityDatabase())
        return 3;
    CEOID oids[RECORDS] = {};
    for (int n = 0; n < last; ++n) {
        const int i = n % RECORDS;
        const CEOID written = WriteActivityRecordDB(activityDatabase, oids[i] ? oids[i] : NEW_ACTIVITY_RECORD,
                                                    Generation(100 + i, 1 + n / RECORDS));
        if (!written)
            return 4;
        oids[i] = written;
    }
    TerminateProcess(GetCurrentProcess(), 9);
    return 9;
}

// Seeds a new volume, then dies without closing it.
int RunSeeder(const std::wstring& folder)
{
    OverrideAppFolders(folder, folder);
    MountVolumeAtStartup(nullptr);
    TerminateProcess(GetCurrentProcess(), 9);
    return 9;
}

// Runs this program again in the given mode; its exit code, 0 when it did not run.
DWORD RunChild(const wchar_t* mode, const std::wstring& arguments)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    DWORD exitCode = 0;
    // A generous bound: a loaded machine starts programs slowly.
    return RunProgram(L"\"" + std::wstring(self) + L"\" " + mode + L" " + arguments, &exitCode, 120000) ? exitCode : 0;
}

} // namespace

TEST(CrashAfterSeeding, EmptyLabelListsOfANewVolumeSurvive)
{
    Scenario scenario;
    ASSERT_EQ(9u, RunChild(SEEDER_SWITCH, L"\"" + scenario.InstallFolder() + L"\""));
    ASSERT_NE(nullptr, scenario.Start());
    std::vector<std::wstring> names = DatabaseNames();
    for (const wchar_t* list : {L"EventsDatabase", L"NextActionDatabase", L"User1Database", L"User2Database",
                                L"User3Database"})
        EXPECT_NE(names.end(), std::find(names.begin(), names.end(), list)) << list;
    EXPECT_EQ(0, scenario.Close());
}

TEST(CrashDuringWrites, EveryAcknowledgedWriteReadsBackWhole)
{
    std::mt19937 seeded(20261206);
    for (int trial = 0; trial < 6; ++trial) {
        Scenario scenario;
        const int last = 1 + static_cast<int>(seeded() % (4 * RECORDS));
        SCOPED_TRACE(testing::Message() << "trial " << trial << ", killed after write " << last);
        // The volume exists before the writer starts, so it meets no question about a missing one.
        ASSERT_TRUE(scenario.OpenStore());
        scenario.CloseStore();
        ASSERT_EQ(9u, RunChild(WRITER_SWITCH, L"\"" + scenario.InstallFolder() + L"\" " + std::to_wstring(last)));

        ASSERT_NE(nullptr, scenario.Start());
        const std::vector<CEOID> oids = ActivityOids(0);
        EXPECT_EQ(std::min(last, RECORDS), static_cast<int>(oids.size()));
        for (CEOID oid : oids) {
            ActivityRecord record = {};
            ASSERT_EQ(oid, ReadActivityRecordDB(activityDatabase, oid, &record));
            const ActivityRecord whole = Generation(record.contactOid, static_cast<int>(record.date));
            EXPECT_TRUE(SameActivity(whole, record)) << "record " << oid;
            // Record r was last written as write r + RECORDS * (g - 1), the latest one before the kill.
            const int r = static_cast<int>(record.contactOid) - 100;
            ASSERT_TRUE(r >= 0 && r < RECORDS) << record.contactOid;
            EXPECT_EQ(1 + (last - 1 - r) / RECORDS, static_cast<int>(record.date)) << "record of contact " << r;
        }
        EXPECT_TRUE(scenario.Dialogs().empty());
        EXPECT_EQ(0, scenario.Close());
    }
}

int main(int argc, char** argv)
{
    int wideCount = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &wideCount);
    if (wideCount == 4 && std::wcscmp(wide[1], WRITER_SWITCH) == 0)
        return RunWriter(wide[2], std::wcstol(wide[3], nullptr, 10));
    if (wideCount == 3 && std::wcscmp(wide[1], SEEDER_SWITCH) == 0)
        return RunSeeder(wide[2]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
