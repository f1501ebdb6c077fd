#include "base/app_folders.h"
#include "resources/message_box_ids.h"
#include "platform/cedb/core/file_system.h"
#include "settings/registry_values.h"
#include "settings/settings.h"
#include "store/activity_database.h"
#include "store/database.h"
#include "store/database_info.h"
#include "store/label_lists.h"
#include "store/volume.h"
#include "store/volume_backup.h"
#include "tests/cedb/full_disk_fs.h"
#include "tests/store/store_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const std::vector<std::wstring> DEFAULT_EVENTS_SORTED = {
    L"Email", L"Letter", L"Meeting", L"On-Site Visit", L"Phone Call", L"Presentation"};
const std::vector<std::wstring> DEFAULT_NEXT_ACTIONS_SORTED = {
    L"Email Response", L"Fax Quote", L"Meeting", L"On-Site Visit", L"Return Phone Call"};

const int YES_BUTTON = 1000;
const int NO_BUTTON = 1300;

bool HasDatabase(const wchar_t* name)
{
    std::vector<std::wstring> names = DatabaseNames();
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Runs the program once to leave a volume with one activity and, at exit, a
// backup of it in the documents folder.
void LeaveVolumeWithOneActivity(Scenario& scenario)
{
    ASSERT_NE(nullptr, scenario.Start());
    ASSERT_NE(0u, WriteActivityRecordDB(activityDatabase, NEW_ACTIVITY_RECORD, SampleActivity(7, 46000)));
    EXPECT_EQ(0, scenario.Close());
    ASSERT_TRUE(FileExists(BackupPath()));
}

} // namespace

// Seeded once: a list deleted stays deleted on the next start.
TEST(Mount, NewVolumeIsSeededWithTheDefaultLabelsOnce)
{
    Scenario scenario;
    ASSERT_NE(nullptr, scenario.Start());
    EXPECT_TRUE(scenario.Dialogs().empty());
    EXPECT_EQ(DEFAULT_EVENTS_SORTED, ReadAllTexts(EVENTS_DATABASE));
    EXPECT_EQ(DEFAULT_NEXT_ACTIONS_SORTED, ReadAllTexts(NEXT_ACTION_DATABASE));
    for (const wchar_t* name : {USER1_DATABASE, USER2_DATABASE, USER3_DATABASE, L"ActivityDatabase"})
        EXPECT_TRUE(HasDatabase(name)) << name;
    EXPECT_EQ(0, CountTextRecordsDB(USER1_DATABASE));
    ASSERT_EQ(1, DeleteNamedDB(EVENTS_DATABASE));
    EXPECT_EQ(0, scenario.Close());

    ASSERT_NE(nullptr, scenario.Start());
    EXPECT_FALSE(HasDatabase(EVENTS_DATABASE));
    EXPECT_EQ(DEFAULT_NEXT_ACTIONS_SORTED, ReadAllTexts(NEXT_ACTION_DATABASE));
    EXPECT_EQ(0, scenario.Close());
}

// Room for a new volume but not for its labels: the start says so, and what to do.
TEST(Mount, NewVolumeWithoutRoomForItsLabelsSaysSo)
{
    cedb_test::FullDiskFileSystem disk{cedb::FileSystem::Default()};
    cedb::SetServiceFileSystemForTesting(&disk);
    {
        Scenario scenario;
        const uint64_t room = 1 << 19;   // less than the zeros a volume grows by
        disk.SetFreeBytes(room);
        ASSERT_EQ(MOUNTED_NEW, MountDBVolume(nullptr));
        const uint64_t made = room - disk.free_bytes();
        UnmountDBVolume();
        ASSERT_TRUE(DeleteFileW(VolumePath().c_str()));
        disk.SetFreeBytes(made);
        EXPECT_FALSE(scenario.OpenStore());
        EXPECT_TRUE(scenario.Saw(L"The default labels could not be saved: the disk is full. Free some space, then add "
                                 L"them on the Descriptor page."));
        disk.SetUnlimited();
    }
    cedb::SetServiceFileSystemForTesting(nullptr);
}

// Yes restores the history without seeding the lists twice, from the
// previous backup when the newest cannot be read; No starts empty and keeps
// the declined backup, which may be the only copy of the history.
TEST(Mount, MissingVolumeWithBackupAsksAndRestoresOnYesOnly)
{
    const std::wstring newest = L"The Vantaro install directory did not contain a database file. Do you want to "
                                L"recover using the backup copy in your '";
    const std::wstring previous = L"The Vantaro install directory did not contain a database file, and the latest "
                                  L"backup cannot be read. Recover using the previous one, vt1.vol.prev, in your '";
    for (const int variant : {0, 1, 2}) {
        const int answer = variant == 1 ? NO_BUTTON : YES_BUTTON;
        Scenario scenario;
        LeaveVolumeWithOneActivity(scenario);
        if (variant == 2) {
            ASSERT_TRUE(MoveFileW(BackupPath().c_str(), PreviousBackupPath().c_str()));
            WriteFileBytes(BackupPath(), std::string(4096, '\x5A'));
        }
        ASSERT_TRUE(DeleteFileW(VolumePath().c_str()));
        const std::string history = ReadFileBytes(BackupPath());

        scenario.AnswerDialogs([answer](HWND dialog) { Scenario::PressButton(dialog, answer); });
        ASSERT_NE(nullptr, scenario.Start());
        ASSERT_EQ(1u, scenario.Dialogs().size());
        EXPECT_EQ(L"Vantaro Warning", scenario.Dialogs()[0].title);
        // The message box shows at most 199 characters.
        const std::wstring question = (variant == 2 ? previous : newest) + scenario.DocumentsFolder() + L"' folder?";
        EXPECT_TRUE(scenario.Saw(question.substr(0, 199))) << variant;
        EXPECT_EQ(answer == YES_BUTTON ? 1 : 0, CountActivityRecordsDB(L"ActivityDatabase")) << variant;
        EXPECT_EQ(DEFAULT_EVENTS_SORTED, ReadAllTexts(EVENTS_DATABASE));
        EXPECT_EQ(0, scenario.Close());
        if (answer == NO_BUTTON) {
            EXPECT_TRUE(history == ReadFileBytes(BackupPath()));
            EXPECT_FALSE(FileExists(PreviousBackupPath()));
        }
    }
}

TEST(Mount, UnreadableBackupsAreReportedKeptAndTheNewVolumeSeeded)
{
    Scenario scenario;
    WriteFileBytes(BackupPath(), "not a volume");
    // A folder where the previous backup should be: found, but not copied.
    ASSERT_TRUE(CreateDirectoryW(PreviousBackupPath().c_str(), nullptr));
    ASSERT_NE(nullptr, scenario.Start());
    ASSERT_EQ(1u, scenario.Dialogs().size());
    EXPECT_EQ(L"Vantaro Warning", scenario.Dialogs()[0].title);
    EXPECT_TRUE(scenario.Saw((L"Vantaro found no database file, and no backup copy in your '" +
                                   scenario.DocumentsFolder() + L"' folder can be read. It starts with a new, empty "
                                   L"database and leaves those backups as they are.")
                                      .substr(0, 199)));
    EXPECT_EQ(DEFAULT_EVENTS_SORTED, ReadAllTexts(EVENTS_DATABASE));
    EXPECT_EQ(0, scenario.Close());
    EXPECT_EQ("not a volume", ReadFileBytes(BackupPath()));
    EXPECT_FALSE(FileExists(VolumePath() + L".restore"));
}

// A rename that deletes its target first (FAT) and was cut short leaves the
// volume only as the engine's complete compacted file: that is the volume,
// and no backup is offered.
TEST(Mount, VolumeLeftAsACompletedCompactionIsMountedWithoutAsking)
{
    Scenario scenario;
    ASSERT_NE(nullptr, scenario.Start());
    std::vector<CEOID> written;
    for (int i = 0; i < 40; ++i)
        written.push_back(WriteActivityRecordDB(activityDatabase, NEW_ACTIVITY_RECORD, SampleActivity(7, 46000 + i)));
    for (int i = 1; i < 40; ++i)
        DeleteRecordDB(activityDatabase, written[i]);
    EXPECT_EQ(0, scenario.Close());   // mostly dead entries: the unmount compacts
    ASSERT_TRUE(FileExists(BackupPath()));
    ASSERT_TRUE(MoveFileW(VolumePath().c_str(), (VolumePath() + L".compact").c_str()));

    ASSERT_NE(nullptr, scenario.Start());
    EXPECT_TRUE(scenario.Dialogs().empty());
    EXPECT_EQ(1, CountActivityRecordsDB(L"ActivityDatabase"));
    EXPECT_EQ(0, scenario.Close());
    EXPECT_TRUE(FileExists(VolumePath()));
}

TEST(Mount, DamagedVolumeIsReportedAndLeftUntouched)
{
    Scenario scenario;
    LeaveVolumeWithOneActivity(scenario);
    const std::string goodBackup = ReadFileBytes(BackupPath());

    std::string damaged = ReadFileBytes(VolumePath());
    ASSERT_GT(damaged.size(), 64u);
    for (size_t i = 0; i < 16; ++i)
        damaged[i] = static_cast<char>(damaged[i] ^ 0x5A);   // wreck the header
    WriteFileBytes(VolumePath(), damaged);

    EXPECT_EQ(nullptr, scenario.Start());
    bool mountReported = false;
    for (const SeenDialog& dialog : scenario.Dialogs())
        for (const std::wstring& text : dialog.texts)
            mountReported = mountReported || text.rfind(L"Database mount failed: ", 0) == 0;
    EXPECT_TRUE(mountReported);
    EXPECT_TRUE(scenario.Saw(L"Error in call to OpenCreateDB 'InitInstance'"));
    EXPECT_EQ(damaged, ReadFileBytes(VolumePath()));
    EXPECT_EQ(goodBackup, ReadFileBytes(BackupPath()));
}

// Opened by an order it lacks, the activity database would end every start.
TEST(Mount, AnActivitySortFieldTheDatabaseHasNoOrderForFallsBack)
{
    Scenario scenario;
    CreateSettingsKey();
    RegWriteDword(L"activitysortfield", 0x7777001F);   // no property of an activity
    ASSERT_NE(nullptr, scenario.Start());
    for (double nextDate : {46003.0, 46001.0, 46002.0})
        ASSERT_NE(0u, WriteActivityRecordDB(activityDatabase, NEW_ACTIVITY_RECORD, SampleActivity(7, nextDate)));
    std::vector<double> inHandleOrder;
    DWORD index = 0;
    ASSERT_NE(0u, CeSeekDatabase(activityDatabase, CEDB_SEEK_BEGINNING, 0, &index));
    LPBYTE buffer = nullptr;
    DWORD size = 0;
    for (int i = 0; i < 3; ++i) {
        ActivityRecord record = {};
        ASSERT_NE(0u, ReadNextActivityRecordDB(activityDatabase, &record, &buffer, &size));
        inHandleOrder.push_back(record.nextDate);
    }
    LocalFree(buffer);
    EXPECT_EQ((std::vector<double>{46001, 46002, 46003}), inHandleOrder) << "by the default, the next date";
    EXPECT_EQ(0, scenario.Close());

    // A database made with the Date order has no order by the default.
    DeleteFileW(VolumePath().c_str());
    DeleteFileW(BackupPath().c_str());
    DeleteFileW(PreviousBackupPath().c_str());
    RegWriteDword(L"activitysortfield", PROPID_DATE);
    ASSERT_NE(nullptr, scenario.Start());
    EXPECT_EQ(0, scenario.Close());
    RegWriteDword(L"activitysortfield", PROPID_NOTES);
    ASSERT_NE(nullptr, scenario.Start());
    EXPECT_EQ(PROPID_DATE, settings.activitysortfield);
    // The information counts them all the same.
    for (double nextDate : {46001.0, 46002.0})
        ASSERT_NE(0u, WriteActivityRecordDB(activityDatabase, NEW_ACTIVITY_RECORD, SampleActivity(7, nextDate)));
    DatabaseCounts counts = {};
    GetDatabaseCounts(9, &counts);
    EXPECT_EQ(9, counts.contacts);
    EXPECT_EQ(2, counts.activities);
    EXPECT_EQ(11, counts.labels);
    EXPECT_EQ(0, scenario.Close());
}

// Each exit keeps the backup it replaces as the previous generation.
TEST(ExitBackup, KeepsTwoReadableGenerationsWithFlagOneAndIsUntouchedWithFlagZero)
{
    Scenario scenario;
    ASSERT_NE(nullptr, scenario.Start());
    EXPECT_EQ(0, scenario.Close());
    const std::string first = ReadFileBytes(BackupPath());
    EXPECT_TRUE(ReadFileBytes(VolumePath()) == first);
    EXPECT_FALSE(FileExists(PreviousBackupPath()));

    ASSERT_NE(nullptr, scenario.Start());
    ASSERT_NE(0u, WriteActivityRecordDB(activityDatabase, NEW_ACTIVITY_RECORD, SampleActivity(3, 1)));
    EXPECT_EQ(0, scenario.Close());
    EXPECT_TRUE(ReadFileBytes(VolumePath()) == ReadFileBytes(BackupPath()));
    EXPECT_TRUE(first == ReadFileBytes(PreviousBackupPath()));
    EXPECT_FALSE(FileExists(BackupPath() + L".tmp"));
    EXPECT_TRUE(scenario.Dialogs().empty());

    WriteFileBytes(BackupPath(), "an older backup");
    RegWriteDword(L"backupdatabaseflag", 0);
    ASSERT_NE(nullptr, scenario.Start());
    ASSERT_NE(0u, WriteActivityRecordDB(activityDatabase, NEW_ACTIVITY_RECORD, SampleActivity(3, 2)));
    EXPECT_EQ(0, scenario.Close());
    EXPECT_EQ("an older backup", ReadFileBytes(BackupPath()));

    // An unreadable backup is replaced without pushing out the readable one.
    RegWriteDword(L"backupdatabaseflag", 1);
    const std::string readable = ReadFileBytes(PreviousBackupPath());
    ASSERT_NE(nullptr, scenario.Start());
    EXPECT_EQ(0, scenario.Close());
    EXPECT_TRUE(readable == ReadFileBytes(PreviousBackupPath()));
    EXPECT_TRUE(ReadFileBytes(VolumePath()) == ReadFileBytes(BackupPath()));
}

TEST(ExitBackup, FailureIsReportedAndLeavesTheBackupsAsTheyWere)
{
    Scenario scenario;
    LeaveVolumeWithOneActivity(scenario);
    const std::string backup = ReadFileBytes(BackupPath());
    // A folder where the temporary copy goes: it can be neither removed nor written.
    ASSERT_TRUE(CreateDirectoryW((BackupPath() + L".tmp").c_str(), nullptr));
    ASSERT_NE(nullptr, scenario.Start());
    ASSERT_NE(0u, WriteActivityRecordDB(activityDatabase, NEW_ACTIVITY_RECORD, SampleActivity(3, 1)));
    EXPECT_EQ(0, scenario.Close());
    ASSERT_EQ(1u, scenario.Dialogs().size());
    EXPECT_EQ(L"Warning", scenario.Dialogs()[0].title);
    bool reported = false;
    for (const std::wstring& text : scenario.Dialogs()[0].texts)
        reported = reported || (text.rfind(L"The backup copy of your database could not be saved: ", 0) == 0 &&
                                text.find(L"The database itself is not affected") != std::wstring::npos);
    EXPECT_TRUE(reported);
    EXPECT_TRUE(backup == ReadFileBytes(BackupPath()));
    EXPECT_FALSE(FileExists(PreviousBackupPath()));
}

// Under Program Files the user may not write beside the executable: the data
// goes to the user's local application data folder, and a denial that leaves
// no folder at all is named as such.
TEST(Mount, ReadOnlyInstallFolderKeepsTheDataInTheUsersFolder)
{
    // /sys refuses new files even to root, as Program Files refuses a user.
    const std::wstring readOnly = L"Z:\\sys";
    HANDLE probe = CreateFileW((readOnly + L"\\probe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_EQ(INVALID_HANDLE_VALUE, probe);
    ASSERT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());

    wchar_t savedLocal[MAX_PATH] = {};
    GetEnvironmentVariableW(L"LOCALAPPDATA", savedLocal, MAX_PATH);
    Scenario scenario;
    const std::wstring local = scenario.Root() + L"\\local";
    ASSERT_TRUE(CreateDirectoryW(local.c_str(), nullptr));
    SetEnvironmentVariableW(L"LOCALAPPDATA", local.c_str());
    OverrideAppFolders(readOnly, scenario.DocumentsFolder());

    ASSERT_NE(nullptr, scenario.Start());
    EXPECT_TRUE(scenario.Dialogs().empty());
    EXPECT_EQ(local + L"\\Vantaro\\vt1.vol", VolumePath());
    ASSERT_NE(0u, WriteActivityRecordDB(activityDatabase, NEW_ACTIVITY_RECORD, SampleActivity(7, 46000)));
    EXPECT_EQ(0, scenario.Close());
    ASSERT_NE(nullptr, scenario.Start());
    EXPECT_EQ(1, CountActivityRecordsDB(L"ActivityDatabase"));
    EXPECT_EQ(0, scenario.Close());

    // No user folder either: the mount's failure says what went wrong.
    SetEnvironmentVariableW(L"LOCALAPPDATA", (readOnly + L"\\local").c_str());
    OverrideAppFolders(readOnly, scenario.DocumentsFolder());
    bool choices = false;   // a box with a second button
    scenario.AnswerDialogs([&](HWND box) {
        choices = choices || IsWindowVisible(GetDlgItem(box, IDC_MESSAGE_BOX_SECOND));
        Scenario::PressButton(box, IDOK);
    });
    EXPECT_EQ(nullptr, scenario.Start());
    EXPECT_TRUE(scenario.Saw(L"Database mount failed: Access Denied"));
    EXPECT_FALSE(choices) << "the failure is told, not offered as a choice";
    SetEnvironmentVariableW(L"LOCALAPPDATA", savedLocal[0] ? savedLocal : nullptr);
}
