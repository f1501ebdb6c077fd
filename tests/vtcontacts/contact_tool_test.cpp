// The contact exchange tool, run in-process against a device store of the
// test's own.
#include <windows.h>

#include <gtest/gtest.h>

#include "contacts/vcard/text_encoding.h"
#include "contacts/vcard/vcard.h"
#include "platform/cedb/core/file_system.h"
#include "platform/poom/contact_records.h"
#include "tests/cedb/full_disk_fs.h"
#include "tests/harness/device_contacts.h"
#include "tests/harness/file_bytes.h"
#include "tests/harness/log_reserve.h"
#include "tests/harness/scenario.h"
#include "tests/notify/notify_testing.h"
#include "tests/poom/poom_fixture.h"
#include "tests/vcard/card_files.h"
#include "tools/vtcontacts/contact_exchange.h"

namespace {

std::wstring HereFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.rfind(L'\\') + 1);
}

const std::wstring deviceFolder = UseFreshDeviceStore(L"tool_test_device");

// The device store lives on a disk the tests can fill.
cedb_test::FullDiskFileSystem disk{cedb::FileSystem::Default()};
const bool diskInstalled = [] {
    cedb::SetServiceFileSystemForTesting(&disk);
    return true;
}();

std::wstring CardFile(const char* name)
{
    return vcard::Utf8ToWide(std::string(CARD_DATA_DIR) + "/" + name);
}

class ContactTool : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(EmptyDeviceContacts()); }

    int Run(std::vector<std::wstring> args)
    {
        output = ToolOutput{};
        return RunContactTool(args, output);
    }

    const poom::ContactData* Stored(const wchar_t* fileAs)
    {
        stored.clear();
        poom::LoadAllContacts(stored);
        const auto found =
            std::find_if(stored.begin(), stored.end(), [&](const auto& c) { return c.text[0] == fileAs; });
        return found == stored.end() ? nullptr : &*found;
    }

    ToolOutput output;
    std::vector<poom::ContactData> stored;
};

// Runs the program itself on a device store of its own (this process holds
// the test's store), its standard output sent to `output` by the shell.
DWORD RunToolProgram(const std::wstring& arguments, const std::wstring& device, const std::wstring& output)
{
    SetEnvironmentVariableW(L"VANTARO_DEVICE_DIR", device.c_str());
    DWORD code = 100;
    const bool ran = RunProgram(L"cmd /c \"\"" + WindowsPath(VTCONTACTS_EXE) + L"\" " + arguments + L" > \"" +
                                    output + L"\"\"",
                                &code, 60000);
    SetEnvironmentVariableW(L"VANTARO_DEVICE_DIR", deviceFolder.c_str());
    return ran ? code : 101;
}

}  // namespace

// Cards as several producers write them come out of the device's export
// with every property the device kept, and that export updates the same
// contacts instead of adding others. Each file goes onto an empty device, as
// several hold the same person.
TEST_F(ContactTool, EveryProducersCardComesBackFromTheDeviceWholeAndALineBeyondItsRoomIsNamed)
{
    // A photo larger than the property that keeps a card's other lines is
    // named as not kept; the contact and its smaller lines go in.
    const std::wstring photoCard = HereFolder() + L"large_photo.vcf";
    ASSERT_TRUE(WriteFileBytes(photoCard, "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Brun;Ada\r\nX-SHOE-SIZE:38\r\nPHOTO;"
                                          "ENCODING=b;TYPE=JPEG:" + std::string(40000, 'A') + "\r\nEND:VCARD\r\n"));
    ASSERT_EQ(0, Run({L"import", photoCard})) << output.err;
    DeleteFileW(photoCard.c_str());
    EXPECT_EQ("Imported 1, updated 0, skipped 0.\n", output.out);
    EXPECT_NE(std::string::npos, output.err.find("large_photo.vcf: no place on the device for PHOTO\n")) << output.err;
    ASSERT_EQ(0, Run({L"export"}));
    EXPECT_NE(std::string::npos, output.out.find("\r\nX-SHOE-SIZE:38\r\n")) << output.out;
    EXPECT_EQ(std::string::npos, output.out.find("PHOTO"));

    for (const char* file : {"handset_v30.vcf", "address_book_v40.vcf", "nameless_v30.vcf",
                             "desktop_client_v21.vcf", "desktop_client_full_v21.vcf", "webmail_full_v30.vcf",
                             "address_app_full_v30.vcf", "handset_full_v21.vcf", "desktop_suite_v30_v40.vcf",
                             "produced_by_abook.vcf", "produced_by_evolution_v21.vcf", "produced_by_evolution_v30.vcf",
                             "produced_by_gammu.vcf", "produced_by_khard_v30.vcf", "produced_by_khard_v40.vcf"}) {
        ASSERT_TRUE(EmptyDeviceContacts());
        ASSERT_EQ(0, Run({L"import", CardFile(file)})) << output.err;
        const auto cards = vcard::ReadCards(ReadTestCards(file)).contacts;
        ASSERT_EQ(0, Run({L"export"}));
        const std::string exported = output.out;
        const auto back = vcard::ReadCards(exported).contacts;
        ASSERT_EQ(cards.size(), back.size()) << file;
        for (const auto& card : cards) {
            const std::string where = file + (": " + card.text[vcard::kFileAs]);
            const auto same = std::find_if(back.begin(), back.end(), [&](const vcard::CardContact& b) {
                return b.text[vcard::kFileAs] == card.text[vcard::kFileAs];
            });
            ASSERT_NE(back.end(), same) << where;
            ExpectSameContact(card, *same, where);
        }
        const std::wstring again = HereFolder() + L"exported.vcf";
        ASSERT_TRUE(WriteFileBytes(again, exported));
        ASSERT_EQ(0, Run({L"import", again})) << output.err;
        EXPECT_EQ("Imported 0, updated " + std::to_string(cards.size()) + ", skipped 0.\n", output.out) << file;
        DeleteFileW(again.c_str());
    }
}

// A contacts service's export files people "Last, First" as the device
// does, and exports them again under the name they are shown by.
TEST_F(ContactTool, ImportedPeopleAreFiledLastFirst)
{
    ASSERT_EQ(0, Run({L"import", CardFile("webmail_v30.vcf")})) << output.err;
    // Categories the device cannot keep whole are named, not split or cut.
    EXPECT_EQ(L"myContacts, Kunden", Stored(L"Marquardt, Tobias")->categories);
    EXPECT_NE(std::string::npos,
              output.err.find("webmail_v30.vcf:1: category \"Hafen, Logistik\" left out: a category name has 1 to 29"));
    EXPECT_NE(std::string::npos, output.err.find("\"Ausschreibung Hafenerweiterung 2027\" left out"));
    const auto categories = poom::LoadCategoryNames();
    EXPECT_EQ(categories.end(), std::find(categories.begin(), categories.end(), L"Hafen"));
    ASSERT_EQ(0, Run({L"list"}));
    EXPECT_NE(std::string::npos, output.out.find("\tMarquardt, Tobias\tHafenkontor Nord\t")) << output.out;
    ASSERT_EQ(0, Run({L"export"}));
    EXPECT_NE(std::string::npos, output.out.find("\r\nFN:Tobias Marquardt\r\n")) << output.out;

    // A contact filed under its display name by an earlier import is
    // updated, and filed anew, rather than doubled.
    const poom::ContactData* tobias = Stored(L"Marquardt, Tobias");
    ASSERT_NE(nullptr, tobias);
    poom::ContactData earlier = *tobias;
    earlier.text[0] = L"Tobias Marquardt";
    ASSERT_NE(0u, poom::SaveContactRecord(earlier));
    ASSERT_EQ(0, Run({L"import", CardFile("webmail_v30.vcf")}));
    EXPECT_EQ("Imported 0, updated 3, skipped 0.\n", output.out);
    EXPECT_NE(nullptr, Stored(L"Marquardt, Tobias"));
    EXPECT_EQ(nullptr, Stored(L"Tobias Marquardt"));
}

// Whatever is not a card file is refused, before the store is touched.
TEST_F(ContactTool, FilesWithoutCardsAreRefusedAndMalformedCardsReported)
{
    const std::wstring folder = HereFolder() + L"tool_test_files\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::pair<const wchar_t*, std::string> files[] = {
        {L"empty.vcf", ""},
        {L"picture.png", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\xFF\x00", 20)},
    };
    for (const auto& file : files) {
        const std::wstring path = folder + file.first;
        ASSERT_TRUE(WriteFileBytes(path, file.second));
        EXPECT_EQ(1, Run({L"import", path})) << vcard::WideToUtf8(file.first);
        EXPECT_EQ("", output.out);
        EXPECT_NE(std::string::npos, output.err.find("holds no vCard")) << output.err;
        DeleteFileW(path.c_str());
    }
    for (const std::wstring& unreadable : {std::wstring(L"Z:\\no\\such\\file.vcf"), folder}) {
        EXPECT_EQ(1, Run({L"import", unreadable}));
        EXPECT_EQ("", output.out);
        EXPECT_NE(std::string::npos, output.err.find("cannot read")) << output.err;
    }
    RemoveDirectoryW(folder.c_str());

    // Malformed cards are reported by line and the others imported.
    EXPECT_EQ(0, Run({L"import", CardFile("partly_broken.vcf")}));
    EXPECT_EQ("Imported 2, updated 0, skipped 4.\n", output.out);
    for (const char* line : {"partly_broken.vcf:9: ", "partly_broken.vcf:15: ", "partly_broken.vcf:23: ",
                             "partly_broken.vcf:26: "})
        EXPECT_NE(std::string::npos, output.err.find(line)) << line << "\n" << output.err;
    EXPECT_NE(nullptr, Stored(L"Olav Brekke"));
}

// The store flushes once, at the end of the file: on a full disk every card
// is named as not kept, and the tool fails; with space the same file goes in.
// The card reader's mapping is tested with the card library; here what the
// device store makes of it: line breaks, dates, categories.
TEST_F(ContactTool, ImportOnAFullDiskKeepsNothingAndWithSpaceStoresTheCardsAsTheDeviceKeepsThem)
{
    ASSERT_TRUE(UseUpLogReserve(DeviceStore()));

    disk.SetFreeBytes(0);
    EXPECT_EQ(1, Run({L"import", CardFile("desktop_client_v21.vcf")}));
    disk.SetUnlimited();
    EXPECT_EQ("Imported 0, updated 0, skipped 2.\n", output.out);
    EXPECT_NE(std::string::npos,
              output.err.find(": Oberwald, J\xC3\xBCrgen was not kept: the disk is full. Free some space, then "
                              "import the file again.\n"))
        << output.err;
    EXPECT_EQ(2, std::count(output.err.begin(), output.err.end(), '\n')) << output.err;
    EXPECT_EQ(nullptr, Stored(L"Oberwald, J\u00FCrgen"));
    ASSERT_EQ(0, Run({L"import", CardFile("desktop_client_v21.vcf")})) << output.err;
    EXPECT_EQ("Imported 2, updated 0, skipped 0.\n", output.out);
    EXPECT_TRUE(FreeLogReserve(DeviceStore()));
    const poom::ContactData* c = Stored(L"Oberwald, J\u00FCrgen");
    ASSERT_NE(nullptr, c);
    EXPECT_EQ(L"Kessling Pr\u00E4zisionsteile GmbH", c->text[4]);
    EXPECT_EQ(L"Industriestra\u00DFe 17\r\nGeb\u00E4ude C", c->text[5]);
    EXPECT_EQ(L"+49 711 555 0199", c->text[13]);
    EXPECT_EQ(OleDate(At(1968, 4, 12)), c->birthday);
    EXPECT_EQ(L"Lieferanten, Schl\u00FCsselkunden", c->categories);
    const auto categories = poom::LoadCategoryNames();
    EXPECT_NE(categories.end(), std::find(categories.begin(), categories.end(), L"Lieferanten"));
}

// Field for field the round trip above; here the choices of the export.
TEST_F(ContactTool, ExportFiltersByCategoryNeverBreaksAnEarlierFileAndThroughStandardOutputImportsBack)
{
    ASSERT_EQ(0, Run({L"import", CardFile("handset_v30.vcf")}));
    ASSERT_EQ(0, Run({L"import", CardFile("address_book_v40.vcf")}));
    ASSERT_EQ(0, Run({L"export", L"--category", L"norge"}));
    EXPECT_EQ(1u, vcard::ReadCards(output.out).contacts.size());

    const std::wstring file = HereFolder() + L"tool_test_export.vcf";
    ASSERT_EQ(0, Run({L"export", file}));
    EXPECT_EQ("Exported 3 contacts to " + vcard::WideToUtf8(file) + ".\n", output.out);
    // Held open elsewhere: refused, and the earlier file stays whole.
    HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(1, Run({L"export", L"--category", L"norge", file}));
    CloseHandle(held);
    EXPECT_NE(std::string::npos, output.err.find(": the file is open in another program; any earlier file was left"))
        << output.err;
    EXPECT_EQ(3u, vcard::ReadCards(ReadFileBytes(file)).contacts.size());
    DeleteFileW(file.c_str());

    // A long address is folded in the card; a text-mode standard output would
    // have turned each CR LF into CR CR LF.
    const std::wstring folder = HereFolder() + L"tool_test_program";
    CreateDirectoryW(folder.c_str(), nullptr);
    DeleteFileW((folder + L"\\device.vol").c_str());
    const std::string street = "Unit 4 Riverside Business Park, Longman Industrial Estate, Longman Road by the "
                               "harbour, opposite the old ferry terminal.";
    const std::wstring card = folder + L"\\card.vcf", book = folder + L"\\book.vcf";
    ASSERT_TRUE(WriteFileBytes(card, "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Munro;Isla;;;\r\nADR;TYPE=WORK:;;" + street +
                                         ";Inverness;;IV1 1SA;\r\nEND:VCARD\r\n"));
    ASSERT_EQ(0u, RunToolProgram(L"import \"" + card + L"\"", folder, folder + L"\\import.txt"));
    ASSERT_EQ(0u, RunToolProgram(L"export", folder, book));

    const std::string exported = ReadFileBytes(book);
    EXPECT_EQ(std::string::npos, exported.find("\r\r")) << exported;
    EXPECT_NE(std::string::npos, exported.find("\r\n ")) << "the address is folded";
    ASSERT_EQ(0, Run({L"import", book})) << output.err;
    EXPECT_EQ("Imported 1, updated 0, skipped 0.\n", output.out);
    const poom::ContactData* isla = Stored(L"Munro, Isla");
    ASSERT_NE(nullptr, isla);
    EXPECT_EQ(vcard::Utf8ToWide(street), isla->text[5]);
}

// Categories are listed and added; usage mistakes are explained.
TEST_F(ContactTool, CategoriesAreListedAndAddedAndUsageMistakesExplained)
{
    ASSERT_EQ(0, Run({L"add-category", L"Trade Fair 2026"}));
    ASSERT_EQ(0, Run({L"add-category", L"trade fair 2026"}));
    ASSERT_EQ(0, Run({L"categories"}));
    EXPECT_NE(std::string::npos, output.out.find("Trade Fair 2026\n"));
    EXPECT_EQ(std::string::npos, output.out.find("trade fair 2026\n")) << "names are unique ignoring case";
    EXPECT_EQ(2, Run({L"add-category", L"A, B"}));
    EXPECT_EQ(2, Run({L"add-category", L"This name is far too long for it"}));

    EXPECT_EQ(2, Run({}));
    EXPECT_EQ(2, Run({L"import"}));
    EXPECT_EQ(2, Run({L"export", L"--colour", L"x"}));
    EXPECT_NE(std::string::npos, output.err.find("unknown option --colour"));
    EXPECT_EQ(0, Run({L"help"}));
    EXPECT_NE(std::string::npos, output.out.find("Business Fax"));
}
