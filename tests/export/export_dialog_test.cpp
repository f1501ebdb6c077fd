// Export from the real main window: the dialog and its stored choices, the
// CSV file read back cell by cell, the HTML report, the progress shown on
// the way, and exports whose file cannot be written.
#include "export/csv_writer.h"
#include "export/export_dialog.h"
#include "export/export_diagnostics.h"
#include "export/export_run.h"
#include "platform/cedb/api/read_faults.h"
#include "platform/poom/contact_records.h"
#include "platform/poom/poom_server.h"
#include "resources/resource.h"
#include "settings/registry_values.h"
#include "settings/settings.h"
#include "store/activity_database.h"
#include "store/activity_record.h"
#include "store/find_filter.h"
#include "tests/harness/file_bytes.h"
#include "tests/harness/scenario.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <string>
#include <vector>

namespace {

size_t Occurrences(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

std::vector<int> Selected(HWND dialog, int id)
{
    std::vector<int> positions;
    HWND list = GetDlgItem(dialog, id);
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (SendMessageW(list, LB_GETSEL, i, 0) > 0)
            positions.push_back(i);
    return positions;
}

void Select(HWND dialog, int id, const std::vector<int>& positions)
{
    SendDlgItemMessageW(dialog, id, LB_SETSEL, FALSE, -1);
    for (int position : positions)
        SendDlgItemMessageW(dialog, id, LB_SETSEL, TRUE, position);
}

// A tap on a button: it runs to its end before this returns.
void Click(HWND dialog, int id)
{
    SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0);
}

bool IsExportDialog(HWND window)
{
    return GetDlgItem(window, IDC_EXPORT_FORMAT) && GetDlgItem(window, IDC_EXPORT_CONTACT_FIELDS);
}

// What the progress window is told while an export runs.
struct ProgressLog {
    HWND window = nullptr;
    std::vector<std::wstring> mainLabels, subLabels;
    std::vector<std::pair<int, int>> ranges;
    std::vector<int> positions;
} progressLog;

LRESULT CALLBACK WatchProgress(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION) {
        HWND parent = GetParent(call->hwnd);
        if (parent && GetDlgItem(parent, IDC_PROGRESS_BAR) && GetDlgItem(parent, IDC_PROGRESS_MAIN_LABEL)) {
            progressLog.window = parent;
            const int id = GetDlgCtrlID(call->hwnd);
            if (call->message == WM_SETTEXT && id == IDC_PROGRESS_MAIN_LABEL)
                progressLog.mainLabels.push_back(reinterpret_cast<const wchar_t*>(call->lParam));
            else if (call->message == WM_SETTEXT && id == IDC_PROGRESS_SUB_LABEL)
                progressLog.subLabels.push_back(reinterpret_cast<const wchar_t*>(call->lParam));
            else if (call->message == PBM_SETRANGE32)
                progressLog.ranges.emplace_back(static_cast<int>(call->wParam), static_cast<int>(call->lParam));
            else if (call->message == PBM_SETPOS)
                progressLog.positions.push_back(static_cast<int>(call->wParam));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class ExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterPoomServer();
        std::vector<poom::ContactData> all;
        poom::LoadAllContacts(all);
        for (const poom::ContactData& contact : all)
            poom::DeleteContactRecord(contact.oid);
        progressLog = ProgressLog();
        watch = SetWindowsHookExW(WH_CALLWNDPROC, WatchProgress, nullptr, GetCurrentThreadId());
    }
    void TearDown() override
    {
        UnhookWindowsHookEx(watch);
        findBarVisible = 0;
        findText[0] = L'\0';
        if (scenario.Running()) {
            EXPECT_EQ(0, scenario.Close());
        }
    }

    CEOID AddContact(const std::wstring& fileAs, const std::wstring& company = L"")
    {
        poom::ContactData data;
        data.text[0] = fileAs;
        data.text[4] = company;
        return poom::SaveContactRecord(data);
    }
    CEOID AddActivity(CEOID contact, const wchar_t* event, const wchar_t* notes = L"", double date = 47000.0)
    {
        ActivityRecord record = {};
        record.contactOid = contact;
        wcscpy(record.event, event);
        wcscpy(record.notes, notes);
        record.date = date;
        return WriteActivityRecordDB(activityDatabase, NEW_ACTIVITY_RECORD, record);
    }
    void Start()
    {
        CreateSettingsKey();
        ASSERT_NE(nullptr, scenario.Start());
        scenario.PumpPending();
    }

    // Opens the dialog with the Export command and hands it to `use`, which
    // ends it; message boxes are confirmed and recorded.
    void RunDialog(const std::function<void(HWND)>& use)
    {
        bool seen = false;
        scenario.AnswerDialogs([&](HWND window) {
            if (!IsExportDialog(window)) {
                Scenario::PressButton(window, IDOK);
            } else if (!seen) {
                seen = true;
                use(window);
            }
        });
        scenario.Command(IDM_EXPORT);
        EXPECT_TRUE(seen) << "the export dialog never came up";
    }
    // The dialog with all contacts chosen and the given fields; Export, then
    // Cancel.
    void ExportAll(int format, const std::vector<int>& contactFields, const std::vector<int>& activityFields)
    {
        RunDialog([&](HWND dialog) {
            SendDlgItemMessageW(dialog, IDC_EXPORT_FORMAT, CB_SETCURSEL, format, 0);
            Click(dialog, IDC_EXPORT_CONTACTS_ALL);
            Select(dialog, IDC_EXPORT_CONTACT_FIELDS, contactFields);
            Select(dialog, IDC_EXPORT_ACTIVITY_FIELDS, activityFields);
            Click(dialog, IDC_EXPORT_RUN);
            Scenario::PressButton(dialog, IDCANCEL);
        });
    }
    // Messages of the common message box with this title.
    std::vector<std::wstring> Messages(const std::wstring& title) const
    {
        std::vector<std::wstring> texts;
        for (const SeenDialog& dialog : scenario.Dialogs())
            if (dialog.title == title && !dialog.texts.empty())
                texts.push_back(dialog.texts.front());
        return texts;
    }
    DWORD Stored(const wchar_t* name) const
    {
        DWORD value = 12345;
        RegReadDword(name, &value);
        return value;
    }
    std::wstring CsvPath() const { return scenario.DocumentsFolder() + L"\\ql_export.csv"; }
    std::wstring HtmlPath() const { return scenario.DocumentsFolder() + L"\\ql_export.html"; }

    Scenario scenario;
    HHOOK watch = nullptr;
};

}  // namespace

// ---- The dialog --------------------------------------------------------------------

TEST_F(ExportTest, OpensWithTheStoredChoiceAndNamedContactsOnly)
{
    AddContact(L"Baker, Ann");
    AddContact(L"");
    AddContact(L"Cole, Ben");
    Start();
    RunDialog([&](HWND dialog) {
        EXPECT_EQ((std::vector<std::wstring>{L"Baker, Ann", L"Cole, Ben"}),
                  ListItems(GetDlgItem(dialog, IDC_EXPORT_CONTACTS)));
        EXPECT_TRUE(Selected(dialog, IDC_EXPORT_CONTACTS).empty());
        EXPECT_EQ(0, SendDlgItemMessageW(dialog, IDC_EXPORT_FORMAT, CB_GETCURSEL, 0, 0));
        EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, IDC_EXPORT_FILTER));
        EXPECT_EQ(21u, ListItems(GetDlgItem(dialog, IDC_EXPORT_CONTACT_FIELDS)).size());
        EXPECT_EQ((std::vector<int>{0, 3, 4, 9, 14}), Selected(dialog, IDC_EXPORT_CONTACT_FIELDS));
        EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4}), Selected(dialog, IDC_EXPORT_ACTIVITY_FIELDS));

        Click(dialog, IDC_EXPORT_CONTACTS_ALL);
        Click(dialog, IDC_EXPORT_CONTACT_FIELDS_NONE);
        Click(dialog, IDC_EXPORT_ACTIVITY_FIELDS_ALL);
        EXPECT_EQ((std::vector<int>{0, 1}), Selected(dialog, IDC_EXPORT_CONTACTS));
        EXPECT_TRUE(Selected(dialog, IDC_EXPORT_CONTACT_FIELDS).empty());
        EXPECT_EQ(8u, Selected(dialog, IDC_EXPORT_ACTIVITY_FIELDS).size());
        Click(dialog, IDC_EXPORT_CONTACTS_NONE);
        EXPECT_TRUE(Selected(dialog, IDC_EXPORT_CONTACTS).empty());

        // Nothing chosen to export: a warning, and no file.
        Click(dialog, IDC_EXPORT_RUN);
        Scenario::PressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(std::vector<std::wstring>{NO_EXPORT_CONTACT_MESSAGE}, Messages(L"Warning"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(CsvPath().c_str()));
}

TEST_F(ExportTest, UseFilteringIsStoredAtOnceAndRefillsTheContacts)
{
    AddContact(L"Baker, Ann");
    AddContact(L"Cole, Ben");
    AddContact(L"Abba, Cara");
    Start();
    // The find bar searches names for "ba".
    findBarVisible = 1;
    findMode = FIND_MODE_CONTACTS;
    settings.lastcontactfindfield = 0;
    wcscpy(findText, L"ba");
    RunDialog([&](HWND dialog) {
        HWND contacts = GetDlgItem(dialog, IDC_EXPORT_CONTACTS);
        EXPECT_EQ(3u, ListItems(contacts).size());
        Click(dialog, IDC_EXPORT_CONTACTS_ALL);
        Click(dialog, IDC_EXPORT_FILTER);
        EXPECT_EQ(1u, Stored(L"filterexportflag"));
        EXPECT_EQ((std::vector<std::wstring>{L"Abba, Cara", L"Baker, Ann"}), ListItems(contacts));
        EXPECT_TRUE(Selected(dialog, IDC_EXPORT_CONTACTS).empty());
        Click(dialog, IDC_EXPORT_FILTER);
        EXPECT_EQ(0u, Stored(L"filterexportflag"));
        EXPECT_EQ(3u, ListItems(contacts).size());
        Click(dialog, IDC_EXPORT_FILTER);
        // Cancel does not take back what the box stored.
        Scenario::PressButton(dialog, IDCANCEL);
    });
    RunDialog([&](HWND dialog) {
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_EXPORT_FILTER));
        EXPECT_EQ(2u, ListItems(GetDlgItem(dialog, IDC_EXPORT_CONTACTS)).size());
        Scenario::PressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(1u, Stored(L"filterexportflag"));
}

TEST_F(ExportTest, DoneStoresTheFieldsInOrderAndCancelKeepsTheOldChoice)
{
    const CEOID ann = AddContact(L"Baker, Ann");
    Start();
    AddActivity(ann, L"Call");
    RunDialog([&](HWND dialog) {
        Select(dialog, IDC_EXPORT_CONTACT_FIELDS, {1, 5, 20});
        Select(dialog, IDC_EXPORT_ACTIVITY_FIELDS, {7, 2});
        Scenario::PressButton(dialog, IDOK);
    });
    std::vector<DWORD> stored;
    for (const wchar_t* name : {L"numexportcontactfield", L"exportcontactfield0", L"exportcontactfield1",
                                L"exportcontactfield2", L"numexportactivityfield", L"exportactivityfield0",
                                L"exportactivityfield1", L"exportformat"})
        stored.push_back(Stored(name));
    EXPECT_EQ((std::vector<DWORD>{3, 1, 5, 20, 2, 2, 7, 0}), stored);

    // Changed, exported as HTML, then cancelled: the fields stay as stored
    // and the format is remembered for this run of the program only.
    RunDialog([&](HWND dialog) {
        EXPECT_EQ((std::vector<int>{1, 5, 20}), Selected(dialog, IDC_EXPORT_CONTACT_FIELDS));
        EXPECT_EQ((std::vector<int>{2, 7}), Selected(dialog, IDC_EXPORT_ACTIVITY_FIELDS));
        SendDlgItemMessageW(dialog, IDC_EXPORT_FORMAT, CB_SETCURSEL, 1, 0);
        Select(dialog, IDC_EXPORT_CONTACT_FIELDS, {0});
        Select(dialog, IDC_EXPORT_CONTACTS, {0});
        Click(dialog, IDC_EXPORT_RUN);
        Scenario::PressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(1u, Messages(L"Export - Complete").size());
    EXPECT_EQ(3u, Stored(L"numexportcontactfield"));
    EXPECT_EQ(0u, Stored(L"exportformat"));
    RunDialog([&](HWND dialog) {
        EXPECT_EQ(1, SendDlgItemMessageW(dialog, IDC_EXPORT_FORMAT, CB_GETCURSEL, 0, 0));
        EXPECT_EQ((std::vector<int>{1, 5, 20}), Selected(dialog, IDC_EXPORT_CONTACT_FIELDS));
        Scenario::PressButton(dialog, IDOK);
    });
    EXPECT_EQ(1u, Stored(L"exportformat"));
}

// ---- CSV ---------------------------------------------------------------------------

// Each field's quoting is the CSV writer's suite's; here the rows: one per
// activity, a contact without activities absent, a lost contact empty, a lost
// activity left out and counted.
TEST_F(ExportTest, CsvHasARowPerActivityWithItsContactsValues)
{
    poom::ContactData lukasz;
    lukasz.text[0] = L"Wr\x00F3" L"bel, \x0141ukasz";
    lukasz.text[4] = L"Acme, \"Best\" Ltd";
    lukasz.text[5] = L"Main St 1\r\nFlat 2";
    const CEOID first = poom::SaveContactRecord(lukasz);
    AddContact(L"Idle, Ida", L"No activities");
    const CEOID second = AddContact(L"Zorn, Zoe", L"@home");
    const CEOID gone = AddContact(L"Zulu, Zed", L"Gone");
    Start();
    AddActivity(first, L"Call", L"line one\r\nline two <b>", 47000.0);
    const CEOID lost = AddActivity(first, L"Lost", L"", 47001.0);
    AddActivity(first, L"Meeting", L"", 47002.0);
    AddActivity(second, L"Visit");
    AddActivity(gone, L"Mail");

    const long fetches = exportContactFetches, reads = exportActivityReads;
    CedbFailReadsOf(lost);
    RunDialog([&](HWND dialog) {
        Click(dialog, IDC_EXPORT_CONTACTS_ALL);
        Select(dialog, IDC_EXPORT_CONTACT_FIELDS, {0, 4, 5});
        Select(dialog, IDC_EXPORT_ACTIVITY_FIELDS, {1, 2, 4});
        // Deleted on the device after the dialog listed it.
        ASSERT_TRUE(poom::DeleteContactRecord(gone));
        Click(dialog, IDC_EXPORT_RUN);
        Scenario::PressButton(dialog, IDCANCEL);
    });
    CedbFailReadsOf(0);
    EXPECT_EQ(3, exportContactFetches - fetches);   // each contact once; the deleted one cannot be
    EXPECT_EQ(4, exportActivityReads - reads);
    EXPECT_TRUE(Messages(L"Export - Complete").empty());
    EXPECT_EQ(std::vector<std::wstring>{L"Exported data to CSV file '" + CsvPath() +
                                        L"', but 1 activities could not be read"},
              Messages(L"Warning"));
    const std::string lukaszValues =
        "\"Wr\xC3\xB3" "bel, \xC5\x81ukasz\",\"Acme, \"\"Best\"\" Ltd\",\"Main St 1\r\nFlat 2\",";
    EXPECT_EQ("\xEF\xBB\xBF\"FileAs\",\"Company\",\"Street Address\",\"Next Date\",\"Event\",\"Notes\"\r\n" +
                  lukaszValues + "\"\",\"Call\",\"line one  line two <b>\"\r\n" +
                  lukaszValues + "\"\",\"Meeting\",\"\"\r\n"
                  "\"Zorn, Zoe\",\"'@home\",\"\",\"\",\"Visit\",\"\"\r\n"
                  "\"\",\"\",\"\",\"\",\"Mail\",\"\"\r\n",
              ReadFileBytes(CsvPath()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((CsvPath() + L".tmp").c_str()));
}

// The disk has no room for the new file (each other cause is named by the
// export file's own suite); the progress went one step a contact all the same.
TEST_F(ExportTest, CsvShowsItsProgressAndAFileThatCannotBeWrittenKeepsTheEarlierOne)
{
    const CEOID ann = AddContact(L"Baker, Ann");
    const CEOID ben = AddContact(L"Cole, Ben");
    Start();
    AddActivity(ann, L"Call");
    AddActivity(ben, L"Mail");
    WriteFileBytes(CsvPath(), "earlier");
    ASSERT_TRUE(LinkToFullDevice(CsvPath() + L".tmp"));
    ExportAll(0, {0}, {2});

    EXPECT_TRUE(Messages(L"Export - Complete").empty());
    EXPECT_EQ(std::vector<std::wstring>{L"Could not write '" + CsvPath() +
                                        L"': the disk is full. Any earlier file was left as it was."},
              Messages(L"Error"));
    EXPECT_EQ("earlier", ReadFileBytes(CsvPath()));
    EXPECT_EQ(std::vector<std::wstring>{L"Exporting to CSV File"}, progressLog.mainLabels);
    EXPECT_EQ((std::vector<std::wstring>{L"Export in Progresss...", L"Exporting 1 of 2 Contact Entries",
                                         L"Exporting 2 of 2 Contact Entries"}),
              progressLog.subLabels);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0, 2}}), progressLog.ranges);
    EXPECT_EQ((std::vector<int>{0, 1, 2}), progressLog.positions);
    EXPECT_FALSE(IsWindow(progressLog.window));

    // A folder where the file goes is refused before any progress shows.
    ASSERT_TRUE(DeleteFileW(CsvPath().c_str()));
    ASSERT_TRUE(CreateDirectoryW(CsvPath().c_str(), nullptr));
    ExportAll(0, {0}, {2});
    RemoveDirectoryW(CsvPath().c_str());
    EXPECT_EQ(L"Could not write '" + CsvPath() + L"': a folder of that name is in the way. Any earlier file was left "
                                                 L"as it was.",
              Messages(L"Error").back());
    EXPECT_EQ(1u, progressLog.mainLabels.size());
}

// ---- HTML --------------------------------------------------------------------------

TEST_F(ExportTest, HtmlReportShowsEveryContactWithItsActivitiesAndNeedsActivityFields)
{
    const CEOID ann = AddContact(L"Baker & Sons", L"");
    AddContact(L"Idle, Ida", L"Quiet");
    Start();
    AddActivity(ann, L"Call");
    ExportAll(1, {0, 4, 6}, {0, 2, 4});
    ASSERT_EQ(1u, Messages(L"Export - Complete").size());
    EXPECT_EQ(L"Finished exporting data to HTML file '" + HtmlPath() + L"'", Messages(L"Export - Complete")[0]);
    const std::string page = ReadFileBytes(HtmlPath());
    EXPECT_EQ(0u, page.find("<html>\r\n<head>\r\n"));
    EXPECT_NE(std::string::npos, page.find("<title>Vantaro</title>"));
    EXPECT_NE(std::string::npos, page.find("Generated on "));
    EXPECT_NE(std::string::npos, page.find(">Baker &amp; Sons<"));
    // Two contacts: two contact tables (City in its own column: 50 percent),
    // two activity tables, the second with its header row only.
    EXPECT_EQ(2u, Occurrences(page, "<table border=\"0\" width=\"50%\">"));
    EXPECT_EQ(2u, Occurrences(page, "<table border=\"1\" width=\"100%\">"));
    EXPECT_EQ(1u, Occurrences(page, "bgcolor=\"#CCFFCC\"><font color=\"#000000\">Call<"));
    EXPECT_EQ(6u, Occurrences(page, "bgcolor=\"#FFDCB9\""));
    EXPECT_EQ(4u, Occurrences(page, ">(none)<"));   // Ann's company, city and notes, Ida's city
    const std::string end = "</body>\r\n</html>\r\n";
    EXPECT_EQ(page.size() - end.size(), page.rfind(end));

    EXPECT_EQ(std::vector<std::wstring>{L"Exporting to HTML File"}, progressLog.mainLabels);
    EXPECT_EQ((std::vector<std::wstring>{L"Export in Progress...", L"Processing 50 % complete",
                                         L"Processing 100 % complete"}),
              progressLog.subLabels);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0, 2}}), progressLog.ranges);

    // Without activity fields there is no report to write: no file, no word.
    WriteFileBytes(HtmlPath(), "earlier");
    const size_t dialogs = scenario.Dialogs().size();
    ExportAll(1, {0}, {});
    EXPECT_EQ(dialogs + 1, scenario.Dialogs().size());   // the export dialog alone
    EXPECT_EQ("earlier", ReadFileBytes(HtmlPath()));
    EXPECT_EQ(1u, progressLog.mainLabels.size());
}
