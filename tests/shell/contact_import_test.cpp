// Contacts in and out from inside the program, as a user brings them: a
// file dropped on the window, File > Import Contacts... through the open
// dialog, File > Export Contacts... through the save dialog. The device's
// store is every program's at once: the contact tool, run while the program
// runs, changes the contacts the program lists and sees those it saved.
#include <windows.h>
#include <dlgs.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "base/app_handles.h"
#include "contacts/vcard/vcard.h"
#include "resources/resource.h"
#include "tests/harness/file_bytes.h"
#include "tests/harness/file_drop.h"
#include "tests/views/views_fixture.h"

namespace {

const char kFirst[] =
    "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:ada-1\r\nN:Lovelace;Ada;;;\r\nFN:Ada Lovelace\r\n"
    "ORG:Analytical Engines\r\nEMAIL:ada@engines.example\r\nEND:VCARD\r\n";

// Ada again (by UID, in 2.1), two new ones (one with a photo larger than
// the device keeps), a broken card and one that names nobody.
const std::string kBook =
    "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Lovelace;Ada\r\nFN:Ada Lovelace\r\nUID:ada-1\r\n"
    "TEL;WORK:+44 20 7946 0101\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Hopper;Grace;;;\r\nFN:Grace Hopper\r\nNICKNAME:Amazing Grace\r\n"
    "PHOTO:data:image/jpeg;base64," + std::string(40000, 'A') + "\r\nTEL;TYPE=cell:+1 555 0142\r\n"
    "ADR;TYPE=work:;;1 Navy Yard\\nBuilding 7;Arlington;VA;22202;\r\nCATEGORIES:Navy\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Half Written\r\noops\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nNOTE:nobody\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nORG:Difference Works Ltd\r\nEND:VCARD\r\n";

class ContactImportTest : public ViewsTest {
protected:
    // Answers the open or save dialog with the path, everything else with OK.
    void ChooseInDialogs(const std::wstring& path)
    {
        scenario->AnswerDialogs([path](HWND window) {
            const std::wstring title = WindowText(window);
            if (title == L"Import Contacts" || title == L"Export Contacts") {
                // The file name box: a combo box in explorer dialogs, an edit
                // box in older ones.
                SetDlgItemTextW(window, cmb13, path.c_str());
                SetDlgItemTextW(window, edt1, path.c_str());
            }
            Scenario::PressButton(window, IDOK);
        });
    }
};

}  // namespace

TEST_F(ContactImportTest, MenuImportCountsNewUpdatedSkippedAndExportReadsBackWhole)
{
    const std::wstring folder = scenario->DocumentsFolder() + L"\\";
    const std::wstring first = folder + L"first.vcf", book = folder + L"book.vcf", out = folder + L"out.vcf";
    ASSERT_TRUE(WriteFileBytes(first, kFirst) && WriteFileBytes(book, kBook));
    DeleteFileW(out.c_str());
    ASSERT_NE(nullptr, Start());
    ChooseInDialogs(L"");

    DropFile(hMainWindow, first);
    EXPECT_EQ(1, scenario->Shown(L"Imported 1 new contact, updated 0, skipped 0."));
    EXPECT_EQ(std::vector<std::wstring>{L"Lovelace, Ada"}, ListItems(Contacts(), 0));

    ChooseInDialogs(book);
    scenario->Command(IDM_IMPORT_CONTACTS);
    const std::wstring reasons =
        L"\nSkipped: Half Written (expected a property, found \"oops\"); line 23 (no name or company).\n"
        L"No place on the device for PHOTO.";
    EXPECT_EQ(1, scenario->Shown(L"Imported 2 new contacts, updated 1, skipped 2." + reasons));
    const std::vector<std::wstring> listed = {L"Difference Works Ltd", L"Hopper, Grace", L"Lovelace, Ada"};
    EXPECT_EQ(listed, ListItems(Contacts(), 0));

    scenario->Command(IDM_IMPORT_CONTACTS);
    EXPECT_EQ(1, scenario->Shown(L"Imported 0 new contacts, updated 3, skipped 2." + reasons));

    ChooseInDialogs(out);
    scenario->Command(IDM_EXPORT_CONTACTS);
    EXPECT_EQ(1, scenario->Shown(L"Finished exporting data to vCard file '" + out + L"'"));
    const vcard::CardReadResult exported = vcard::ReadCards(ReadFileBytes(out));
    ASSERT_EQ(3u, exported.contacts.size());
    EXPECT_TRUE(exported.problems.empty());
    const vcard::CardContact grace = vcard::ReadCards(kBook).contacts.at(1);
    EXPECT_EQ(grace.text, exported.contacts[1].text);
    EXPECT_EQ(grace.categories, exported.contacts[1].categories);
    // Ada is as the later card has her: updated, not doubled.
    EXPECT_EQ("+44 20 7946 0101", exported.contacts[2].text[vcard::kBusinessPhone]);
    EXPECT_EQ("ada-1", exported.contacts[2].uid);

    ChooseInDialogs(L"");
    DropFile(hMainWindow, out);
    EXPECT_EQ(1, scenario->Shown(L"Imported 0 new contacts, updated 3, skipped 0."));
    EXPECT_EQ(listed, ListItems(Contacts(), 0));

    const std::wstring alan = folder + L"alan.vcf", toolOut = folder + L"tool.vcf";
    ASSERT_TRUE(WriteFileBytes(alan, "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Turing;Alan;;;\r\nFN:Alan Turing\r\nEND:VCARD\r\n"));
    const std::wstring tool = L"\"" + WindowsPath(VTCONTACTS_EXE) + L"\" ";
    DWORD exitCode = 1;
    ASSERT_TRUE(RunProgram(tool + L"import \"" + alan + L"\"", &exitCode));
    EXPECT_EQ(0u, exitCode);
    const std::vector<std::wstring> withAlan = {L"Difference Works Ltd", L"Hopper, Grace", L"Lovelace, Ada",
                                                L"Turing, Alan"};
    EXPECT_TRUE(scenario->PumpUntil([&] { return ListItems(Contacts(), 0) == withAlan; }, 5000));
    ASSERT_TRUE(RunProgram(tool + L"export \"" + toolOut + L"\"", &exitCode));
    EXPECT_EQ(0u, exitCode);
    EXPECT_EQ(4u, vcard::ReadCards(ReadFileBytes(toolOut)).contacts.size());
}
