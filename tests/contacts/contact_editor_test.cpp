#include "tests/views/views_fixture.h"

#include "contacts/contact_editor.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "views/list_model.h"

#include <fstream>

namespace {

// Closes the device's contact card as soon as it opens, and notes that it did.
bool cardOpened;

void CALLBACK CloseCard(HWND, UINT, UINT_PTR, DWORD)
{
    if (HWND card = FindWindowW(L"Dialog", L"Contacts")) {
        cardOpened = true;
        PostMessageW(card, WM_CLOSE, 0, 0);
    }
}

}  // namespace

class ContactEditor : public ViewsTest {
protected:
    void SetUp() override
    {
        ViewsTest::SetUp();
        logPath = scenario->Root() + L"\\editor.log";
        SetEnvironmentVariableW(L"VANTARO_FAKE_EDITOR_LOG", logPath.c_str());
        cardOpened = false;
        // Each test starts with the editor chosen and one contact, "A".
        Setting(L"piminterface", 1);
        a = AddContact(L"A");
    }
    void TearDown() override
    {
        ViewsTest::TearDown();
        SetEnvironmentVariableW(L"VANTARO_FAKE_EDITOR_LOG", nullptr);
    }

    // Puts a built fake library into a folder under one of the editor's names.
    static void Install(const char* built, const std::wstring& folder, const wchar_t* name)
    {
        ASSERT_TRUE(CopyFileW(WindowsPath(built).c_str(), (folder + L"\\" + name).c_str(), FALSE));
    }
    void Install(const char* built, const wchar_t* name) { Install(built, scenario->InstallFolder(), name); }

    // The calls the fake received, one line each: call, oid, mode, owner, library.
    std::vector<std::string> Calls() const
    {
        std::vector<std::string> calls;
        std::ifstream log(logPath.c_str());
        for (std::string line; std::getline(log, line);)
            calls.push_back(line);
        return calls;
    }
    std::string Call(const char* call, CEOID oid, int mode, const char* library) const
    {
        return std::string(call) + ' ' + std::to_string(oid) + ' ' + std::to_string(mode) + ' ' +
               std::to_string(reinterpret_cast<ULONG_PTR>(scenario->MainWindow())) + ' ' + library;
    }

    // Runs a command that may open the device's card, closing the card.
    void RunClosingCard(const std::function<void()>& command)
    {
        const UINT_PTR closer = SetTimer(nullptr, 0, 50, CloseCard);
        command();
        KillTimer(nullptr, closer);
        scenario->PumpPending();
    }
    void NewContact()
    {
        RunClosingCard([this] { scenario->Command(IDM_NEW_CONTACT); });
    }
    void EditRow(int row)
    {
        TapRow(Contacts(), row);
        RunClosingCard([this] { SendMessageW(Contacts(), WM_COMMAND, IDM_EDIT, 0); });
    }

    std::wstring logPath;
    CEOID a = 0;
};

TEST_F(ContactEditor, WithoutTheEditorAStoredChoiceOfItOpensTheDevicesCard)
{
    ASSERT_NE(nullptr, Start());
    EXPECT_EQ(0, contactEditorInstalled);
    EXPECT_EQ(0, settings.piminterface);
    EXPECT_EQ(1, StoredValue(L"piminterface")) << "the stored choice is kept for when the editor comes back";

    NewContact();
    EXPECT_TRUE(cardOpened) << "New Contact opens the standard card";
    cardOpened = false;
    EditRow(0);
    EXPECT_TRUE(cardOpened) << "Edit opens the standard card";
    EXPECT_TRUE(Calls().empty());
}

TEST_F(ContactEditor, TheFirstLibraryIsPreferredAndGetsTheOidOrTheNewContactCall)
{
    Install(FAKE_EDITOR_FULL, CONTACT_EDITOR_LIBRARY);
    Install(FAKE_EDITOR_FULL, CONTACT_EDITOR_FALLBACK_LIBRARY);
    const CEOID b = AddContact(L"B");
    AddContact(L"C");
    ASSERT_NE(nullptr, Start());
    EditRow(1);
    TapRow(Contacts(), 2);
    NewContact();
    EXPECT_FALSE(cardOpened);
    EXPECT_EQ((std::vector<std::string>{Call("display", b, 1, "PITools.dll"), Call("create", 0, 0, "PITools.dll")}),
              Calls());
    EXPECT_EQ(0, Mark(Contacts())) << "a new contact selects the first row";
    EXPECT_EQ(0, currentContactIndex);
}

TEST_F(ContactEditor, TheSecondLibraryServesWhenTheFirstIsMissingOrNoEditor)
{
    Install(FAKE_EDITOR_FULL, CONTACT_EDITOR_FALLBACK_LIBRARY);
    ASSERT_NE(nullptr, Start());
    EditRow(0);
    // A first library that exports neither entry point is some other library.
    Install(FAKE_EDITOR_NO_ENTRIES, CONTACT_EDITOR_LIBRARY);
    EditRow(0);
    EXPECT_FALSE(cardOpened);
    EXPECT_EQ(std::vector<std::string>(2, Call("display", a, 1, "PINewEditUI.dll")), Calls());
}

TEST_F(ContactEditor, AMissingEntryPointFallsBackToTheCardForThatCallOnly)
{
    Install(FAKE_EDITOR_DISPLAY_ONLY, CONTACT_EDITOR_LIBRARY);
    ASSERT_NE(nullptr, Start());
    NewContact();
    EXPECT_TRUE(cardOpened) << "the editor cannot create, the card can";
    cardOpened = false;
    EditRow(0);
    EXPECT_FALSE(cardOpened);
    EXPECT_EQ(std::vector<std::string>{Call("display", a, 1, "PITools.dll")}, Calls());

    // Removed while the program runs: the next call finds no editor.
    ASSERT_TRUE(DeleteFileW((scenario->InstallFolder() + L"\\PITools.dll").c_str()));
    EXPECT_EQ(0, ShowContactInEditor(a));
    EditRow(0);
    EXPECT_TRUE(cardOpened);
}

TEST_F(ContactEditor, ALibraryWithoutEntryPointsOrOutsideTheTwoFoldersIsNotLoaded)
{
    Install(FAKE_EDITOR_NO_ENTRIES, CONTACT_EDITOR_FALLBACK_LIBRARY);
    // Planted in the current folder, which a bare-name load would search.
    const std::wstring planted = scenario->Root() + L"\\planted";
    ASSERT_TRUE(CreateDirectoryW(planted.c_str(), nullptr));
    Install(FAKE_EDITOR_FULL, planted, CONTACT_EDITOR_LIBRARY);
    wchar_t previous[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(planted.c_str()));

    ASSERT_NE(nullptr, Start());
    EXPECT_EQ(0, contactEditorInstalled);
    ContactEditorEntries entries;
    EXPECT_EQ(nullptr, LoadContactEditorLibrary(&entries));
    EXPECT_EQ(nullptr, GetModuleHandleW(L"PITools.dll"));
    SetCurrentDirectoryW(previous);
}
