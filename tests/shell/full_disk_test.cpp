// The program on a disk that fills while it runs: the engine's files are
// put on a disk that runs out of space at a chosen byte. Every write the
// user makes then fails with a message that says so and what to do, what
// was typed stays for a second try, nothing shown is lost at a restart,
// writing goes on once space is freed, and the volume mounts again.
#include "contacts/vcard/text_encoding.h"
#include "base/app_handles.h"
#include "platform/cedb/core/file_system.h"
#include "platform/notify/device_clock.h"
#include "platform/poom/contact_records.h"
#include "platform/poom/poom_server.h"
#include "resources/resource.h"
#include "sheet/label_list_box.h"
#include "shell/contact_exchange_commands.h"
#include "store/activity_database.h"
#include "store/activity_record.h"
#include "store/label_lists.h"
#include "store/volume.h"
#include "tests/cedb/full_disk_fs.h"
#include "tests/harness/activity_readers.h"
#include "tests/harness/log_reserve.h"
#include "tests/harness/device_contacts.h"
#include "tests/harness/scenario.h"
#include "views/list_model.h"
#include "views/list_views.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace {

class FullDiskTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SYSTEMTIME now = {2030, 3, 0, 12, 8, 30, 0, 0};
        SetDeviceClock(&now);
        // Before the device store is first mounted, so that it lives there too.
        cedb::SetServiceFileSystemForTesting(&disk);
        RegisterPoomServer();
        ASSERT_TRUE(EmptyDeviceContacts());
        ann = AddDeviceContact(L"Baker, Ann");
    }
    void TearDown() override
    {
        if (scenario.Running())
            scenario.Close();
        cedb::SetServiceFileSystemForTesting(nullptr);
        SetDeviceClock(nullptr);
    }

    // Types into the notes pane of the marked activity as a key does.
    void TypeNotes(const wchar_t* text)
    {
        SetWindowTextW(NotesPane(), text);
        SendMessageW(NotesPane(), WM_KEYUP, 'X', 0);
        scenario.PumpPending();
    }

    cedb_test::FullDiskFileSystem disk{cedb::FileSystem::Default()};
    Scenario scenario;
    CEOID ann = 0;
};

}  // namespace

TEST_F(FullDiskTest, EveryWriteSaysItFailedKeepsWhatWasTypedAndARestartShowsWhatWasSaid)
{
    ASSERT_NE(nullptr, scenario.Start());
    ActivityRecord first = {};
    first.contactOid = ann;
    wcscpy(first.event, L"Meeting");
    wcscpy(first.notes, L"Agreed on terms");
    first.nextDate = 47000.0;
    const CEOID saved = WriteActivityRecordDB(activityDatabase, NEW_ACTIVITY_RECORD, first);
    ASSERT_NE(0u, saved);
    ASSERT_TRUE(ReplaceLabels(L"pfile-Work", {L"Business"}));
    SelectRowByTap(GetDlgItem(scenario.MainWindow(), ID_CONTACTS_LIST), 0);
    ASSERT_EQ(1, activityCount);

    ASSERT_TRUE(UseUpLogReserve(volumeGuid));
    ASSERT_TRUE(UseUpLogReserve(DeviceStore()));
    disk.SetFreeBytes(0);

    // A new activity: the dialog stays open with what was typed.
    int activations = 0;
    std::wstring keptEvent, keptNotes;
    scenario.AnswerDialogs([&](HWND window) {
        if (!GetDlgItem(window, IDC_EVENT_COMBO)) {
            Scenario::PressButton(window, IDOK);
            return;
        }
        if (++activations == 1) {
            SetDlgItemTextW(window, IDC_EVENT_COMBO, L"Site Tour");
            SetDlgItemTextW(window, IDC_NOTES_EDIT, L"Typed on a full disk");
            Scenario::PressButton(window, IDOK);
            return;
        }
        keptEvent = ItemText(window, IDC_EVENT_COMBO);
        keptNotes = ItemText(window, IDC_NOTES_EDIT);
        Scenario::PressButton(window, IDCANCEL);
    });
    scenario.Command(IDM_NEW_ACTIVITY);
    EXPECT_TRUE(scenario.Saw(L"The activity could not be saved: the disk is full. Free some space, then save again."));
    EXPECT_EQ(L"Site Tour", keptEvent);
    EXPECT_EQ(L"Typed on a full disk", keptNotes);
    EXPECT_EQ(std::vector<CEOID>{saved}, ActivityOids(ann)) << "the unsaved activity is not listed";
    EXPECT_EQ(1, activityCount);
    scenario.AnswerDialogs(nullptr);

    // Notes: the pane keeps the text; one message however many keys.
    SelectRowByTap(GetDlgItem(scenario.MainWindow(), ID_ACTIVITY_LIST), 0);
    TypeNotes(L"Agreed on terms, then");
    TypeNotes(L"Agreed on terms, then more");
    const std::wstring notesFailed =
        L"The notes could not be saved: the disk is full. Free some space, then type in the notes again.";
    EXPECT_EQ(1, scenario.Shown(notesFailed));
    EXPECT_STREQ(L"Agreed on terms", ReadActivity(saved).notes);

    // A label, a profile, a purge: each leaves the store as it was.
    HWND list = CreateWindowW(L"LISTBOX", L"", WS_CHILD | LBS_EXTENDEDSEL, 0, 0, 10, 10, scenario.MainWindow(),
                              nullptr, nullptr, nullptr);
    FillLabelList(list, EVENTS_DATABASE);
    const LRESULT shown = SendMessageW(list, LB_GETCOUNT, 0, 0);
    AddLabel(list, EVENTS_DATABASE, L"Trade Fair");
    EXPECT_EQ(shown, SendMessageW(list, LB_GETCOUNT, 0, 0)) << "the list box shows only what is kept";
    EXPECT_TRUE(scenario.Saw(L"The label could not be added: the disk is full. Free some space, then add it again."));
    DestroyWindow(list);
    EXPECT_FALSE(ReplaceLabels(L"pfile-Work", {L"Holiday", L"Personal"}));
    EXPECT_EQ(std::vector<std::wstring>{L"Business"}, ReadLabels(L"pfile-Work"));
    bool purgeShown = false;
    scenario.AnswerDialogs([&](HWND window) {
        if (GetDlgItem(window, IDC_PURGE_METHOD) && !purgeShown) {
            purgeShown = true;
            SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_PURGE_BUTTON, BN_CLICKED), 0);
            Scenario::PressButton(window, IDOK);
        } else if (!GetDlgItem(window, IDC_PURGE_METHOD)) {
            Scenario::PressButton(window, IDOK);
        }
    });
    scenario.Command(IDM_PURGE);
    scenario.AnswerDialogs(nullptr);
    EXPECT_TRUE(scenario.Saw(L"The purge could not be completed: the disk is full. Free some space, then purge again."));
    EXPECT_EQ(std::vector<CEOID>{saved}, ActivityOids(ann));

    // An import keeps no card half, and the box names those not kept.
    const std::wstring cards = scenario.DocumentsFolder() + L"\\cards.vcf";
    std::ofstream(vcard::WideToUtf8(cards), std::ios::binary)
        << "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Cole;Dana;;;\r\nEND:VCARD\r\n"
           "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Eames;Ray;;;\r\nEND:VCARD\r\n";
    ImportContactFiles(scenario.MainWindow(), {cards});
    EXPECT_TRUE(scenario.Saw(L"Imported 0 new contacts, updated 0, skipped 2.\nNot kept (Cole, Dana; Eames, Ray): the disk "
                             L"is full. Free some space, then import again."));
    std::vector<poom::ContactData> contacts;
    poom::LoadAllContacts(contacts);
    EXPECT_EQ(1u, contacts.size()) << "Ann alone";

    // Space freed: the next write goes through, the pane's text with it.
    disk.SetUnlimited();
    SelectRowByTap(GetDlgItem(scenario.MainWindow(), ID_ACTIVITY_LIST), 0);
    TypeNotes(L"Agreed on terms, then more");
    EXPECT_STREQ(L"Agreed on terms, then more", ReadActivity(saved).notes);
    EXPECT_TRUE(AppendLabel(USER1_DATABASE, L"North"));

    // Leaving on a full disk: the closing checkpoint cannot be written.
    ASSERT_TRUE(UseUpLogReserve(volumeGuid));
    disk.SetFreeBytes(0);
    scenario.Close();
    disk.SetUnlimited();
    ASSERT_NE(nullptr, scenario.Start());
    EXPECT_EQ(std::vector<CEOID>{saved}, ActivityOids(ann));
    EXPECT_STREQ(L"Agreed on terms, then more", ReadActivity(saved).notes);
    const std::vector<std::wstring> events = ReadLabels(EVENTS_DATABASE);
    EXPECT_EQ(events.end(), std::find(events.begin(), events.end(), L"Trade Fair"));
    EXPECT_EQ(std::vector<std::wstring>{L"North"}, ReadLabels(USER1_DATABASE));
    EXPECT_EQ(std::vector<std::wstring>{L"Business"}, ReadLabels(L"pfile-Work"));
}
