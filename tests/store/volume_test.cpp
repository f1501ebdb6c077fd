#include "base/app_folders.h"
#include "settings/settings.h"
#include "store/activity_database.h"
#include "store/database.h"
#include "store/label_lists.h"
#include "store/volume.h"
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

std::wstring RestoreQuestion(const Scenario& scenario)
{
    std::wstring text = L"The Vantaro install directory did not contain a database file. Do you want to "
                        L"recover using the backup copy in your '" +
                        scenario.DocumentsFolder() + L"' folder?";
    return text.substr(0, 199);   // the message box shows at most 199 characters
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

TEST(Mount, NewVolumeIsSeededWithTheDefaultLabels)
{
    Scenario scenario;
    ASSERT_NE(nullptr, scenario.Start());
    EXPECT_TRUE(scenario.Dialogs().empty());
    EXPECT_EQ(DEFAULT_EVENTS_SORTED, ReadAllTexts(EVENTS_DATABASE));
    EXPECT_EQ(DEFAULT_NEXT_ACTIONS_SORTED, ReadAllTexts(NEXT_ACTION_DATABASE));
    for (const wchar_t* name : {USER1_DATABASE, USER2_DATABASE, USER3_DATABASE, L"ActivityDatabase"}) {
        EXPECT_TRUE(HasDatabase(name)) << name;
    }
    EXPECT_EQ(0, CountTextRecordsDB(USER1_DATABASE));
    EXPECT_EQ(0, scenario.Close());
}

TEST(Mount, ExistingVolumeIsNotSeededAgain)
{
    Scenario scenario;
    ASSERT_NE(nullptr, scenario.Start());
    ASSERT_EQ(1, DeleteNamedDB(EVENTS_DATABASE));
    EXPECT_EQ(0, scenario.Close());

    ASSERT_NE(nullptr, scenario.Start());
    EXPECT_FALSE(HasDatabase(EVENTS_DATABASE));
    EXPECT_EQ(DEFAULT_NEXT_ACTIONS_SORTED, ReadAllTexts(NEXT_ACTION_DATABASE));
    EXPECT_EQ(0, scenario.Close());
}

TEST(Mount, MissingVolumeWithBackupAsksAndYesRestoresWithoutSeeding)
{
    Scenario scenario;
    LeaveVolumeWithOneActivity(scenario);
    ASSERT_TRUE(DeleteFileW(VolumePath().c_str()));

    scenario.AnswerDialogs([](HWND dialog) { Scenario::PressButton(dialog, YES_BUTTON); });
    ASSERT_NE(nullptr, scenario.Start());
    ASSERT_EQ(1u, scenario.Dialogs().size());
    EXPECT_EQ(L"Vantaro Warning", scenario.Dialogs()[0].title);
    EXPECT_TRUE(SawText(scenario, RestoreQuestion(scenario)));
    EXPECT_EQ(1, CountActivityRecordsDB(L"ActivityDatabase"));
    EXPECT_EQ(DEFAULT_EVENTS_SORTED, ReadAllTexts(EVENTS_DATABASE));   // six, not twelve
    EXPECT_EQ(0, scenario.Close());
}

TEST(Mount, MissingVolumeWithBackupAndNoStartsEmptyAndSeeds)
{
    Scenario scenario;
    LeaveVolumeWithOneActivity(scenario);
    ASSERT_TRUE(DeleteFileW(VolumePath().c_str()));

    scenario.AnswerDialogs([](HWND dialog) { Scenario::PressButton(dialog, NO_BUTTON); });
    ASSERT_NE(nullptr, scenario.Start());
    EXPECT_TRUE(SawText(scenario, RestoreQuestion(scenario)));
    EXPECT_EQ(0, CountActivityRecordsDB(L"ActivityDatabase"));
    EXPECT_EQ(DEFAULT_EVENTS_SORTED, ReadAllTexts(EVENTS_DATABASE));
    EXPECT_EQ(0, scenario.Close());
}

TEST(Mount, FailedRestoreIsReportedAndTheNewVolumeSeeded)
{
    Scenario scenario;
    // A folder where the backup file should be: it is found, but cannot be copied.
    ASSERT_TRUE(CreateDirectoryW((scenario.DocumentsFolder() + L"\\vt1.vol").c_str(), nullptr));
    scenario.AnswerDialogs([](HWND dialog) { Scenario::PressButton(dialog, YES_BUTTON); });
    ASSERT_NE(nullptr, scenario.Start());
    ASSERT_EQ(2u, scenario.Dialogs().size());
    EXPECT_TRUE(SawText(scenario, L"The backup copy could not be restored. Vantaro starts with a new, empty database."));
    EXPECT_EQ(DEFAULT_EVENTS_SORTED, ReadAllTexts(EVENTS_DATABASE));
    EXPECT_EQ(0, scenario.Close());
}

TEST(Mount, DamagedVolumeIsReportedAndLeftUntouched)
{
    Scenario scenario;
    LeaveVolumeWithOneActivity(scenario);
    const std::string goodBackup = ReadFile(BackupPath());

    std::string damaged = ReadFile(VolumePath());
    ASSERT_GT(damaged.size(), 64u);
    for (size_t i = 0; i < 16; ++i)
        damaged[i] = static_cast<char>(damaged[i] ^ 0x5A);   // wreck the header
    WriteFile(VolumePath(), damaged);

    EXPECT_EQ(nullptr, scenario.Start());
    bool mountReported = false;
    for (const SeenDialog& dialog : scenario.Dialogs())
        for (const std::wstring& text : dialog.texts)
            mountReported = mountReported || text.rfind(L"Database mount failed: ", 0) == 0;
    EXPECT_TRUE(mountReported);
    EXPECT_TRUE(SawText(scenario, L"Error in call to OpenCreateDB 'InitInstance'"));
    EXPECT_EQ(damaged, ReadFile(VolumePath()));
    EXPECT_EQ(goodBackup, ReadFile(BackupPath()));
}

TEST(ExitBackup, RefreshedWithFlagOneAndUntouchedWithFlagZero)
{
    Scenario scenario;
    ASSERT_NE(nullptr, scenario.Start());
    EXPECT_EQ(1, backupdatabaseflag);
    EXPECT_EQ(0, scenario.Close());
    EXPECT_EQ(ReadFile(VolumePath()), ReadFile(BackupPath()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((BackupPath() + L".tmp").c_str()));

    WriteFile(BackupPath(), "an older backup");
    RegWriteDword(L"backupdatabaseflag", 0);
    ASSERT_NE(nullptr, scenario.Start());
    ASSERT_NE(0u, WriteActivityRecordDB(activityDatabase, NEW_ACTIVITY_RECORD, SampleActivity(3, 1)));
    EXPECT_EQ(0, scenario.Close());
    EXPECT_EQ("an older backup", ReadFile(BackupPath()));
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
    EXPECT_EQ(nullptr, scenario.Start());
    EXPECT_TRUE(SawText(scenario, L"Database mount failed: Access Denied"));
    SetEnvironmentVariableW(L"LOCALAPPDATA", savedLocal[0] ? savedLocal : nullptr);
}
