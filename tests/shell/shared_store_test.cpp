// The device's store is every program's at once: the contact tool, run
// while the program runs, changes the contacts the program lists, and sees
// the contacts the program saved.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "base/app_handles.h"
#include "tests/harness/file_bytes.h"
#include "tests/harness/ui_wait.h"
#include "tests/harness/file_drop.h"
#include "tests/views/views_fixture.h"

namespace {

const char kAda[] = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lovelace;Ada;;;\r\nFN:Ada Lovelace\r\nEND:VCARD\r\n";
const char kGrace[] = "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Hopper;Grace;;;\r\nFN:Grace Hopper\r\nEND:VCARD\r\n";

}  // namespace

TEST_F(ViewsTest, ContactToolImportWhileTheProgramRunsReachesItsList)
{
    const std::wstring folder = scenario->DocumentsFolder() + L"\\";
    const std::wstring ada = folder + L"ada.vcf", grace = folder + L"grace.vcf", out = folder + L"out.vcf";
    ASSERT_TRUE(WriteFileBytes(ada, kAda) && WriteFileBytes(grace, kGrace));
    ASSERT_NE(nullptr, Start());
    scenario->AnswerDialogs([](HWND window) { Scenario::PressButton(window, IDOK); });
    DropFile(hMainWindow, ada);
    ASSERT_EQ(std::vector<std::wstring>{L"Lovelace, Ada"}, ListItems(Contacts(), 0));

    const std::wstring tool = L"\"" + WindowsPath(VTCONTACTS_EXE) + L"\" ";
    DWORD exitCode = 1;
    ASSERT_TRUE(RunProgram(tool + L"import \"" + grace + L"\"", &exitCode));
    EXPECT_EQ(0u, exitCode);
    const std::vector<std::wstring> listed = {L"Hopper, Grace", L"Lovelace, Ada"};
    const DWORD start = GetTickCount();
    EXPECT_TRUE(PumpUntil([&] { return ListItems(Contacts(), 0) == listed; }, 5000));
    std::printf("the list followed the tool's import after %lu ms\n", GetTickCount() - start);

    // The tool's export holds Ada, whom the program saved.
    ASSERT_TRUE(RunProgram(tool + L"export \"" + out + L"\"", &exitCode));
    EXPECT_EQ(0u, exitCode);
    const std::string cards = ReadFileBytes(out);
    EXPECT_NE(std::string::npos, cards.find("FN:Ada Lovelace")) << cards;
    size_t count = 0;
    for (size_t at = cards.find("BEGIN:VCARD"); at != std::string::npos; at = cards.find("BEGIN:VCARD", at + 1)) ++count;
    EXPECT_EQ(2u, count) << cards;
}
