#include "tests/views/views_fixture.h"

#include "base/input_panel.h"
#include "base/message_box.h"
#include "platform/shell/sipapi.h"
#include "resources/resource.h"
#include "settings/field_labels.h"
#include "store/activity_database.h"
#include "store/activity_queries.h"
#include "store/activity_record.h"
#include "store/find_filter.h"
#include "views/alphabet_index.h"
#include "views/find_bar.h"
#include "views/list_views.h"
#include "views/painting_held.h"
#include "views/pane_layout.h"

#include <commctrl.h>

#include <string>

namespace {

int ClientWidth()
{
    RECT client;
    GetClientRect(hMainWindow, &client);
    return client.right;
}

HWND FieldBox() { return GetDlgItem(hMainWindow, ID_FIND_FIELD_BOX); }
HWND TextBox() { return GetDlgItem(hMainWindow, ID_FIND_TEXT_BOX); }

std::wstring FieldItem(int index) { return ListItems(FieldBox()).at(index); }
int FieldCount() { return static_cast<int>(SendMessageW(FieldBox(), CB_GETCOUNT, 0, 0)); }
int FieldChosen() { return static_cast<int>(SendMessageW(FieldBox(), CB_GETCURSEL, 0, 0)); }

int TopRow(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0)); }

// The centre x of each alphabet group in the band.
const int groupX[INDEX_GROUP_COUNT] = {13, 40, 67, 94, 120, 147, 175, 202, 228};

}  // namespace

class FindBar : public ViewsTest {
protected:
    // The input panel is the device's: a bar left shown leaves it up for
    // whatever runs next.
    void TearDown() override
    {
        ViewsTest::TearDown();
        SipShowIM(SIPF_OFF);
    }
    void TapAt(int x, int y)
    {
        scenario->Tap(scenario->MainWindow(), x, y);
        scenario->PumpPending();
    }
    void TapGo() { TapAt(ClientWidth() - 15, 28); }
    void TapContactsMode() { TapAt(12, 28); }
    void TapActivitiesMode() { TapAt(35, 28); }
    void TapGroup(int group) { TapAt(groupX[group], 8); }
    void Type(const std::wstring& text) { SetWindowTextW(TextBox(), text.c_str()); }
    void Go(const std::wstring& text)
    {
        Type(text);
        TapGo();
    }
    // Taps each group in turn and checks the row scrolled to the top.
    void ExpectTaps(std::initializer_list<std::pair<int, int>> groupAndTop)
    {
        for (const auto& step : groupAndTop) {
            TapGroup(step.first);
            EXPECT_EQ(step.second, TopRow(Contacts())) << "a tap on group " << step.first;
        }
    }
    // Chooses a field in the drop-down list as the pen does.
    void ChooseField(int index)
    {
        SendMessageW(FieldBox(), CB_SETCURSEL, index, 0);
        SendMessageW(hMainWindow, WM_COMMAND, MAKEWPARAM(ID_FIND_FIELD_BOX, CBN_CLOSEUP),
                     reinterpret_cast<LPARAM>(FieldBox()));
        scenario->PumpPending();
    }
    std::vector<std::wstring> Names() const { return ListItems(Contacts(), 0); }
    // Every pane shown and painted as a whole repaint paints it.
    void ExpectPanesPaintedWhole(const std::string& when) { ExpectPaintedWhole(when, {Contacts(), Activities(), Notes()}); }
    void ExpectPaintedWhole(const std::string& when, std::initializer_list<HWND> panes)
    {
        for (HWND pane : panes) {
            EXPECT_TRUE(IsWindowVisible(pane)) << when;
            const RECT stale = StaleArea(pane);
            EXPECT_TRUE(IsRectEmpty(&stale)) << when << ", pane " << GetDlgCtrlID(pane) << " has stale pixels at ("
                                             << stale.left << "," << stale.top << ")-(" << stale.right << ","
                                             << stale.bottom << ")";
        }
    }
};

// The bar comes with the fields of its mode, the remembered one chosen,
// and goes keeping its text without applying it.
TEST_F(FindBar, ShowingAndHidingMovesTheListsAndModeButtonsRefillTheFields)
{
    Setting(L"lastcontactfindfield", 4);
    Setting(L"lastactivityfindfield", 2);
    AddContact(L"Anna", L"Acme Tools");
    AddContact(L"Bo", L"Birch Ltd");
    ASSERT_NE(nullptr, Start());
    EXPECT_FALSE(IsWindowVisible(TextBox()));
    // The current mode's button is lit (COLORREF values: 0x00BBGGRR).
    const auto faces = [&] {
        const WindowImage shown = scenario->SettledCapture(hMainWindow);
        return std::vector<COLORREF>{shown.At(7, 22), shown.At(28, 21)};
    };

    Find();
    EXPECT_EQ(LIST_TOP_FIND_BAR, ClientTop(Contacts()));
    EXPECT_TRUE(IsWindowVisible(TextBox()));
    EXPECT_EQ(TextBox(), GetFocus());
    EXPECT_TRUE(IsInputPanelShown()) << "a device without keys gets the input panel";
    RECT client = {}, header = {}, row = {};
    row.left = LVIR_BOUNDS;
    GetClientRect(Contacts(), &client);
    GetWindowRect(ListView_GetHeader(Contacts()), &header);
    SendMessageW(Contacts(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    EXPECT_GE(client.bottom - (header.bottom - header.top), row.bottom - row.top)
        << "squeezed by the input panel under the bar, the contacts list keeps a row";
    ASSERT_EQ(FIELD_COUNT, FieldCount());
    EXPECT_EQ(L"Last Date", FieldItem(CONTACT_FIELD_COUNT));
    EXPECT_EQ(4, FieldChosen());
    EXPECT_EQ((std::vector<COLORREF>{0xFFFF85, 0xC6CEDE}), faces());

    TapActivitiesMode();
    EXPECT_EQ((std::vector<COLORREF>{0xC6CEDE, 0xFFFF85}), faces());
    ASSERT_EQ(ACTIVITY_FIELD_COUNT, FieldCount());
    EXPECT_EQ(L"Event", FieldItem(2));
    EXPECT_EQ(2, FieldChosen());
    ChooseField(4);
    EXPECT_EQ(4, StoredValue(L"lastactivityfindfield"));
    EXPECT_EQ(TextBox(), GetFocus());
    TapActivitiesMode();
    EXPECT_EQ(4, FieldChosen()) << "the current mode's button changes nothing";

    TapContactsMode();
    EXPECT_EQ(FIELD_COUNT, FieldCount());
    EXPECT_EQ(4, FieldChosen());
    ChooseField(25);
    EXPECT_EQ(25, StoredValue(L"lastcontactfindfield"));

    ChooseField(4);   // Company
    Go(L"  ACME ");
    EXPECT_EQ(std::vector<std::wstring>{L"Anna"}, Names());

    Find();
    EXPECT_EQ(LIST_TOP_PLAIN, ClientTop(Contacts()));
    EXPECT_FALSE(IsWindowVisible(TextBox()));
    EXPECT_FALSE(IsInputPanelShown());
    EXPECT_EQ((std::vector<std::wstring>{L"Anna", L"Bo"}), Names()) << "everyone listed again";
    EXPECT_EQ(L"  ACME ", WindowText(TextBox()));

    Find();
    ContactsChanged();
    EXPECT_EQ(2, Rows(Contacts())) << "shown again, the old text waits for go";
    TapGo();
    EXPECT_EQ(1, Rows(Contacts()));
}

TEST_F(FindBar, GoFindsContactsByAnyFieldIgnoringCase)
{
    const CEOID anna = AddContact(L"Anna", L"Österlund AB");
    AddContact(L"Bo", L"Acme");
    const CEOID cleo = AddContact(L"Cleo", L"Nordic \U00010400Works");
    ASSERT_NE(nullptr, Start());
    AddActivity(anna, L"Call", 45000, 0, 0, L"Lunch at the HARBOUR");
    AddActivity(cleo, L"Call", 44999, 0, 0, L"Asked about PRICES");
    AddActivity(cleo, L"Visit", 45001, 45001, 0, L"old harbour notes");
    AddActivity(cleo, L"Mail", 45002, 45002, 0, L"price list");
    ContactsChanged();

    // In the activities mode go narrows the current contact's activities
    // and leaves the contacts.
    TapRow(Contacts(), 2);
    Find();
    TapActivitiesMode();
    ChooseField(4);   // Notes
    Go(L"Price");
    EXPECT_EQ(3, Rows(Contacts()));
    ASSERT_EQ(2, Rows(Activities()));
    EXPECT_EQ(0, Mark(Activities()));
    EXPECT_EQ(L"price list", NotesText());
    // The contacts mode filters nothing until go runs in it. (The input
    // panel goes down first: it squeezes the contacts list below a row.)
    TapContactsMode();
    SipShowIM(SIPF_OFF);
    TapRow(Contacts(), 2);
    EXPECT_EQ(3, Rows(Activities()));
    TapActivitiesMode();
    TapGo();
    EXPECT_EQ(2, Rows(Activities()));
    Find();
    TapRow(Contacts(), 2);
    EXPECT_EQ(3, Rows(Activities())) << "a hidden bar filters nothing";

    Find();
    TapContactsMode();
    ChooseField(4);
    Go(L"ÖSTER");
    EXPECT_EQ(std::vector<std::wstring>{L"Anna"}, Names()) << "letters beyond ASCII compare without case";
    EXPECT_EQ(0, Mark(Contacts()));
    EXPECT_EQ(1, Rows(Activities()));

    Go(L"\U00010428works");   // the small form of a letter outside the basic plane
    EXPECT_EQ(std::vector<std::wstring>{L"Cleo"}, Names());

    Go(L"   ");
    EXPECT_EQ(3, Rows(Contacts())) << "blanks only find everyone";
    Type(L"acme");
    SendMessageW(TextBox(), WM_CHAR, VK_RETURN, 1);
    EXPECT_EQ(std::vector<std::wstring>{L"Bo"}, Names()) << "Enter in the text box finds as go does";

    // The latest activity's Notes: Cleo's latest is "price list".
    ChooseField(CONTACT_FIELD_COUNT + 4);
    Go(L"harbour");
    EXPECT_EQ(std::vector<std::wstring>{L"Anna"}, Names());

    Go(L"nothing like it");
    EXPECT_EQ(0, Rows(Contacts()));
    EXPECT_EQ(0, Rows(Activities()));
    EXPECT_EQ(L"", NotesText());

    // A damaged database: a second activity of Anna's carrying the last
    // flag. The find reads the one the contacts' own query reads.
    ActivityRecord second = {};
    second.contactOid = anna;
    lstrcpynW(second.notes, L"beta notes", NOTES_CAPACITY);
    second.lastFlag = 1;
    WriteActivityRecordDB(activityDatabase, NEW_ACTIVITY_RECORD, second);
    ActivityRecord expected = {};
    ASSERT_EQ(1, ContactHasLastActivity(activityDatabase, anna, &expected));
    const std::wstring chosen = expected.notes;
    Go(chosen);
    EXPECT_EQ(std::vector<std::wstring>{L"Anna"}, Names());
    Go(chosen == L"beta notes" ? L"lunch" : L"beta");
    EXPECT_EQ(0, Rows(Contacts()));
}

TEST(FindText, IsTrimmedCutWholeAndLowered)
{
    SetFindText(L"  Mixed CASE  ");
    EXPECT_EQ(L"mixed case", std::wstring(findText));
    // 78 letters and a character outside the basic plane: the pair does not
    // fit in 79 and is left out whole.
    const std::wstring letters(78, L'A');
    SetFindText((letters + L"\U00010400Z").c_str());
    EXPECT_EQ(std::wstring(78, L'a'), std::wstring(findText));
    SetFindText((L"   " + std::wstring(77, L'b') + L"\U00010400").c_str());
    EXPECT_EQ(std::wstring(77, L'b') + L"\U00010428", std::wstring(findText)) << "leading blanks cost nothing";
    SetFindText((std::wstring(78, L'c') + L" d").c_str());
    EXPECT_EQ(std::wstring(78, L'c'), std::wstring(findText)) << "a blank left at the cut is trimmed too";
    SetFindText(nullptr);
    EXPECT_EQ(L"", std::wstring(findText));
}

TEST(AlphabetIndex, LettersArePlatformAlphabeticAndAccentsFoldToTheirLetter)
{
    const int E = 5, O = 15;
    EXPECT_TRUE(MatchesIndexCharacter(L"Émile", E));
    EXPECT_TRUE(MatchesIndexCharacter(L"Österlund", O));
    EXPECT_FALSE(MatchesIndexCharacter(L"Østergaard", O)) << "a letter of its own, no accent to drop";
    // # takes whatever does not begin with a letter.
    for (const wchar_t* other : {L"", L"1st Choice", L"(none)", L" Anna", L"\U0001F600 smile"})
        EXPECT_TRUE(MatchesIndexCharacter(other, 0)) << std::wstring(other).size();
    for (const wchar_t* letter : {L"Anna", L"Émile", L"Østergaard", L"Дмитрий", L"Ωmega", L"李"})
        EXPECT_FALSE(MatchesIndexCharacter(letter, 0)) << "a letter, even without a group";
}

using AlphabetIndexTaps = FindBar;

// Real pointer clicks reach the index and the go button, which acts when the
// pen comes up on the button it went down on.
TEST_F(AlphabetIndexTaps, ThreeTapsVisitTheGroupsLettersAndAFourthStartsAgain)
{
    for (const wchar_t* name : {L"1 Up", L"Ada", L"Bea", L"Cara", L"Cleo", L"Dan", L"Edda", L"Emil", L"Finn",
                                L"Gus", L"Hugo", L"Ivy", L"Jan", L"Kai", L"Lea", L"Mo", L"Nia", L"Ola", L"Pim",
                                L"Rob", L"Sue", L"Tim"})
        AddContact(name, name);
    ASSERT_NE(nullptr, Start());
    ASSERT_EQ(22, Rows(Contacts()));
    ASSERT_LE(static_cast<int>(SendMessageW(Contacts(), LVM_GETCOUNTPERPAGE, 0, 0)), 22 - 6);
    const int CDE = 1;
    // Cara, Dan, Edda and Cara again; # the digit, then A and B; X finds
    // nobody and moves nothing.
    ExpectTaps({{CDE, 3}, {CDE, 5}, {CDE, 6}, {CDE, 3}, {0, 0}, {0, 1}, {0, 2}, {8, 2}});
    EXPECT_EQ(0, Mark(Contacts())) << "scrolled to, not selected";
    TapAt(groupX[3], 20);   // below the band: not the index
    EXPECT_EQ(2, TopRow(Contacts()));

    const auto click = [&](int x, int y) {
        POINT at = {x, y};
        ClientToScreen(hMainWindow, &at);
        SetCursorPos(at.x, at.y);
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_MOUSE;
        input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, input, sizeof(INPUT));
    };
    click(groupX[CDE], 8);
    EXPECT_TRUE(scenario->PumpUntil([&] { return TopRow(Contacts()) == 3; }));   // Cara

    Find();
    ChooseField(4);
    Type(L"RO");
    const int goX = ClientWidth() - 15;
    SendMessageW(hMainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(goX, 28));
    EXPECT_EQ(1, findButtonPressed) << "drawn pressed";
    EXPECT_EQ(hMainWindow, GetCapture());
    SendMessageW(hMainWindow, WM_LBUTTONUP, 0, MAKELPARAM(goX, 80));
    scenario->PumpPending();
    EXPECT_EQ(0, findButtonPressed) << "released, not stuck";
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(22, Rows(Contacts())) << "slid off: no find";
    SendMessageW(hMainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 28));
    SendMessageW(hMainWindow, WM_LBUTTONUP, 0, MAKELPARAM(35, 28));
    EXPECT_EQ(FIND_MODE_CONTACTS, findMode) << "up on another button does not act";
    SendMessageW(hMainWindow, WM_LBUTTONUP, 0, MAKELPARAM(goX, 28));
    EXPECT_EQ(22, Rows(Contacts())) << "a pen up without its pen down does nothing";

    click(goX, 28);
    EXPECT_TRUE(scenario->PumpUntil([&] { return Rows(Contacts()) == 1; }));
    EXPECT_EQ(std::vector<std::wstring>{L"Rob"}, Names());
    EXPECT_EQ(0, findButtonPressed);
}

TEST_F(AlphabetIndexTaps, ALongListIsWalkedToItsEnd)
{
    // Past the first rows the texts are read in one pass; the result is the same.
    for (int i = 0; i < 240; ++i)
        AddContact(L"Berg " + std::to_wstring(1000 + i));
    AddContact(L"Young");
    AddContact(L"Zorn");
    ASSERT_NE(nullptr, Start());
    const int rows = Rows(Contacts());
    const int page = static_cast<int>(SendMessageW(Contacts(), LVM_GETCOUNTPERPAGE, 0, 0));
    ASSERT_EQ(242, rows);
    // X: nobody; Y: the row before last, as near the top as the list lets
    // it; # and A: nobody; B.
    ExpectTaps({{8, 0}, {8, rows - page}, {0, rows - page}, {0, rows - page}, {0, 0}});
}

TEST_F(AlphabetIndexTaps, TheSortColumnDecidesTheText)
{
    // Sorted by Company; every FileAs begins with P.
    Setting(L"lv1sortcolumn", 1);
    for (const wchar_t* company : {L"", L"Alder", L"Birch", L"Cedar", L"Elm", L"Fir", L"Gum", L"Hazel", L"Ivy",
                                   L"Juniper", L"Kauri", L"Larch", L"Maple", L"Oak", L"Pine", L"Rowan"})
        AddContact(std::wstring(L"Person ") + company, company);
    ASSERT_NE(nullptr, Start());
    // Cedar, Ivy, and the empty company: it does not begin with a letter.
    ExpectTaps({{1, 3}, {3, 8}, {0, 0}});
}

TEST_F(AlphabetIndexTaps, ALastActivityColumnUsesTheLatestActivitysText)
{
    Setting(L"lastactivityfield0", 2);   // Event
    Setting(L"lv1sortcolumn", 2);
    const CEOID ann = AddContact(L"Ann");
    const CEOID bob = AddContact(L"Bob");
    const CEOID cid = AddContact(L"Cid");
    AddContact(L"Dee");
    std::vector<CEOID> others;
    for (int i = 0; i < 8; ++i)
        others.push_back(AddContact(L"Other " + std::to_wstring(i)));
    ASSERT_NE(nullptr, Start());
    AddActivity(ann, L"Visit", 45000);
    AddActivity(bob, L"Email", 45000);
    AddActivity(cid, L"Dinner", 45000, 45000);
    AddActivity(cid, L"call back", 45001, 45001);   // the latest decides
    for (CEOID other : others)
        AddActivity(other, L"Zoo visit", 45000);
    ContactsChanged();
    std::vector<std::wstring> events = ListItems(Contacts(), 2);
    events.resize(4);
    ASSERT_EQ((std::vector<std::wstring>{L"", L"call back", L"Email", L"Visit"}), events);

    // UVW: no U, then V; CDE: the c of "call back" in lower case, no D (Cid's
    // Dinner is not the latest), E; #: Dee has no activity, an empty text.
    ExpectTaps({{7, 0}, {7, 3}, {1, 1}, {1, 1}, {1, 2}, {0, 0}});
}

TEST_F(FindBar, AFindLeavesEveryPaneShownAndPaintedAsAWholeRepaintPaintsIt)
{
    std::wstring longNotes;
    for (int line = 0; line < 12; ++line)
        longNotes += L"line " + std::to_wstring(line) + L" of the notes\r\n";
    const CEOID first = AddContact(L"Name 100", L"Lund");
    for (int i = 1; i < 40; ++i)
        AddContact(L"Name " + std::to_wstring(100 + i), i % 3 ? L"Acme" : L"Lund");
    ASSERT_NE(nullptr, Start());
    AddActivity(first, L"Call", 45000, 0, 0, longNotes);
    AddActivity(first, L"Mail", 45001, 0, 0, longNotes);
    ContactsChanged();
    Find();
    ChooseField(4);
    // Columns narrow enough to leave the lists without a horizontal scroll
    // bar, so the contacts list's vertical one has room for the scroll box
    // whose size and place a find changes.
    for (HWND list : {Contacts(), Activities()}) {
        const int columns = static_cast<int>(SendMessageW(ListView_GetHeader(list), HDM_GETITEMCOUNT, 0, 0));
        for (int column = 0; column < columns; ++column)
            SendMessageW(list, LVM_SETCOLUMNWIDTH, column, 200 / columns);
    }
    scenario->PumpPending();
    SCROLLBARINFO bar = {};
    bar.cbSize = sizeof bar;
    ASSERT_TRUE(GetScrollBarInfo(Contacts(), OBJID_VSCROLL, &bar));
    ASSERT_GT(bar.xyThumbBottom, bar.xyThumbTop);
    // The contacts list scrolled to its end: the find moves its scroll box.
    SendMessageW(Contacts(), LVM_ENSUREVISIBLE, 39, FALSE);
    scenario->PumpPending();

    // The second find changes nothing, the third changes everything back.
    const wchar_t* const steps[] = {L"LUND", L"LUND", L"acme"};
    const int found[] = {14, 14, 26};
    const int activities[] = {2, 2, 0};
    for (int step = 0; step < 3; ++step) {
        Go(steps[step]);
        ASSERT_EQ(found[step], Rows(Contacts())) << "step " << step;
        ASSERT_EQ(activities[step], Rows(Activities())) << "step " << step;
        EXPECT_EQ(Contacts(), GetFocus()) << "step " << step;
        ExpectPanesPaintedWhole("step " + std::to_string(step));
    }

    // A repaint of the frames still pending when a tap on a contact holds
    // the panes is not lost, though the tap changes nothing there.
    Go(L"LUND");
    for (HWND pane : {Activities(), Notes()}) {
        HDC frame = GetWindowDC(pane);
        RECT whole;
        GetWindowRect(pane, &whole);
        OffsetRect(&whole, -whole.left, -whole.top);
        FillRect(frame, &whole, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        ReleaseDC(pane, frame);
        RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    SelectRowByTap(Contacts(), 0);
    ExpectPaintedWhole("after a tap with repaints pending", {Activities(), Notes()});

    // A message box over held panes (as when a refill cannot open the
    // database) leaves nothing of itself on them.
    int boxes = 0;
    scenario->AnswerDialogs([&](HWND box) {
        ++boxes;
        UpdateWindow(box);
        Scenario::PressButton(box, IDOK);
    });
    {
        PaintingHeld held({Contacts(), Activities(), Notes()});
        AppMessageBox(hMainWindow, L"A message over the panes, long enough to cover them", L"Error", MB_OK);
    }
    ASSERT_EQ(1, boxes);
    ExpectPanesPaintedWhole("after the box");

    // A pane hidden before a find stays hidden.
    ShowWindow(Notes(), SW_HIDE);
    Go(L"LUND");
    EXPECT_FALSE(IsWindowVisible(Notes()));
    EXPECT_TRUE(IsWindowVisible(Contacts()));
}
