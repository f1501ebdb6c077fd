// Processes that die without closing the volume: a writer rewriting
// activities, killed at random moments (every record must read back whole,
// from one single write), and a new volume's seeding.
#include "settings/settings.h"
#include "base/app_folders.h"
#include "base/text.h"
#include "store/activity_database.h"
#include "store/activity_queries.h"
#include "store/volume.h"
#include "tests/harness/scenario.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
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
    std::swprintf(record.fileAs, LABEL_CAPACITY, L"fileas %d", g);
    std::swprintf(record.event, LABEL_CAPACITY, L"event %d", g);
    std::swprintf(record.nextAction, LABEL_CAPACITY, L"action %d", g);
    std::swprintf(record.notes, NOTES_CAPACITY, L"notes %d %0300d", g, g);
    std::swprintf(record.user1, LABEL_CAPACITY, L"user1 %d", g);
    std::swprintf(record.user2, LABEL_CAPACITY, L"user2 %d", g);
    std::swprintf(record.user3, LABEL_CAPACITY, L"user3 %d", g);
    record.lastFlag = g % 2;
    record.date = g;
    record.nextDate = g + 0.5;
    record.remindIndex = g % 14;
    record.done = g % 3;
    return record;
}

bool IsWholeGeneration(const ActivityRecord& record)
{
    int g = static_cast<int>(record.date);
    ActivityRecord expected = Generation(record.contactOid, g);
    return std::wcscmp(record.fileAs, expected.fileAs) == 0 && std::wcscmp(record.event, expected.event) == 0 &&
           std::wcscmp(record.nextAction, expected.nextAction) == 0 &&
           std::wcscmp(record.notes, expected.notes) == 0 && std::wcscmp(record.user1, expected.user1) == 0 &&
           std::wcscmp(record.user2, expected.user2) == 0 && std::wcscmp(record.user3, expected.user3) == 0 &&
           record.lastFlag == expected.lastFlag && record.nextDate == expected.nextDate &&
           record.remindIndex == expected.remindIndex && record.done == expected.done;
}

// The writer: creates the records once, then rewrites them for ever.
int RunWriter(const std::wstring& folder)
{
    OverrideAppFolders(folder, folder);
    if (MountDBVolume(nullptr) == MOUNT_FAILED || !OpenActivityDatabase())
        return 3;
    CEOID oids[RECORDS] = {};
    CEOID* existing = nullptr;
    int count = 0;
    getActivityOIDList(&existing, 0, &count, 0);
    for (int i = 0; i < RECORDS; ++i)
        oids[i] = i < count ? existing[i] : NEW_ACTIVITY_RECORD;
    std::free(existing);
    for (int g = 1;; ++g) {
        for (int i = 0; i < RECORDS; ++i) {
            CEOID written = WriteActivityRecordDB(activityDatabase, oids[i], Generation(100 + i, g));
            if (!written)
                return 4;
            oids[i] = written;
        }
    }
}

// Seeds a new volume, then dies without closing it.
int RunSeeder(const std::wstring& folder)
{
    OverrideAppFolders(folder, folder);
    MountVolumeAtStartup(nullptr);
    TerminateProcess(GetCurrentProcess(), 9);
    return 9;
}

std::vector<std::wstring> DatabaseNames()
{
    std::vector<std::wstring> names;
    HANDLE enumeration = CeFindFirstDatabaseEx(&volumeGuid, 0);
    if (enumeration == INVALID_HANDLE_VALUE)
        return names;
    for (CEOID db; (db = CeFindNextDatabaseEx(enumeration, &volumeGuid)) != 0;) {
        CEOIDINFO info = {};
        if (CeOidGetInfoEx(&volumeGuid, db, &info))
            names.push_back(info.infDatabase.szDbaseName);
    }
    CloseHandle(enumeration);
    return names;
}

} // namespace

TEST(CrashAfterSeeding, EmptyLabelListsOfANewVolumeSurvive)
{
    Scenario scenario;
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    DWORD exitCode = 0;
    ASSERT_TRUE(RunProgram(L"\"" + std::wstring(self) + L"\" " + SEEDER_SWITCH + L" \"" + scenario.InstallFolder() +
                               L"\"",
                           &exitCode));
    EXPECT_EQ(9u, exitCode);
    ASSERT_NE(nullptr, scenario.Start());
    std::vector<std::wstring> names = DatabaseNames();
    for (const wchar_t* list : {L"EventsDatabase", L"NextActionDatabase", L"User1Database", L"User2Database",
                                L"User3Database"})
        EXPECT_NE(names.end(), std::find(names.begin(), names.end(), list)) << list;
    EXPECT_EQ(0, scenario.Close());
}

TEST(CrashDuringWrites, EveryRecordReadsBackFromOneWholeWrite)
{
    Scenario scenario;
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring command = L"\"" + std::wstring(self) + L"\" " + WRITER_SWITCH + L" \"" +
                                 scenario.InstallFolder() + L"\"";
    std::srand(20261206);
    for (int trial = 0; trial < 6; ++trial) {
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        std::wstring line = command;
        ASSERT_TRUE(CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                   &process));
        const DWORD delay = 300 + static_cast<DWORD>(std::rand() % 700);
        ASSERT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(process.hProcess, delay))
            << "the writer stopped by itself";
        TerminateProcess(process.hProcess, 9);
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);

        ASSERT_NE(nullptr, scenario.Start()) << "trial " << trial;
        CEOID* oids = nullptr;
        int count = 0;
        getActivityOIDList(&oids, 0, &count, 0);
        EXPECT_LE(count, RECORDS);
        for (int i = 0; i < count; ++i) {
            ActivityRecord record = {};
            ASSERT_EQ(oids[i], ReadActivityRecordDB(activityDatabase, oids[i], &record));
            EXPECT_TRUE(IsWholeGeneration(record)) << "trial " << trial << ", record " << oids[i];
        }
        std::free(oids);
        EXPECT_TRUE(scenario.Dialogs().empty());
        EXPECT_EQ(0, scenario.Close());
    }
}

int main(int argc, char** argv)
{
    int wideCount = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &wideCount);
    if (wideCount == 3 && std::wcscmp(wide[1], WRITER_SWITCH) == 0)
        return RunWriter(wide[2]);
    if (wideCount == 3 && std::wcscmp(wide[1], SEEDER_SWITCH) == 0)
        return RunSeeder(wide[2]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
