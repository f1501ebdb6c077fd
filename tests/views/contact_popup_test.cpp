#include "tests/views/views_fixture.h"

#include "tests/harness/device_contacts.h"
#include "resources/resource.h"
#include "settings/registry_values.h"
#include "settings/settings.h"
#include "views/contact_popup.h"

#include <map>

namespace {

enum Field {
    FIRST = 1, LAST = 2, TITLE = 3, COMPANY = 4, STREET = 5, CITY = 6, STATE = 7, ZIP = 8,
    OFFICE = 9, OTHER = 10, MOBILE = 11, HOME = 12, FAX = 13, EMAIL = 14, EMAIL2 = 15, EMAIL3 = 16, WEB = 17,
};

ContactRecord Record(const std::map<int, std::wstring>& fields)
{
    ContactRecord record = {};
    for (const auto& field : fields)
        lstrcpynW(record.field[field.first], field.second.c_str(), CONTACT_FIELD_TEXT_CAPACITY);
    return record;
}

// What the popup shows: each text, whether it is visible and where it lies
// in the popup's client area.
struct PopupView {
    std::wstring text[4];
    bool visible[4] = {};
    RECT rect[4] = {};
    SIZE client = {};
    RECT window = {};
};

const int popupControls[4] = {IDC_POPUP_NAME, IDC_POPUP_TITLE, IDC_POPUP_PHONES, IDC_POPUP_ADDITIONAL};
enum { NAME, TITLE_LINE, PHONES, ADDITIONAL };

PopupView Look(HWND popup)
{
    PopupView view;
    for (int i = 0; i < 4; ++i) {
        HWND control = GetDlgItem(popup, popupControls[i]);
        view.text[i] = WindowText(control);
        view.visible[i] = IsWindowVisible(control) != FALSE;
        GetWindowRect(control, &view.rect[i]);
        MapWindowPoints(nullptr, popup, reinterpret_cast<POINT*>(&view.rect[i]), 2);
    }
    RECT client;
    GetClientRect(popup, &client);
    view.client = {client.right, client.bottom};
    GetWindowRect(popup, &view.window);
    return view;
}

void TapPopup(HWND popup, int x, int y)
{
    SendMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}

// The arrow's place: the bottom-right corner of the popup as it opened.
void TapArrow(HWND popup, const PopupView& opened)
{
    TapPopup(popup, opened.client.cx - 3, opened.client.cy - 3);
}

// Arrow pictures, as the popup draws them at the arrow's corner plus (5, 5):
// the portrait arrows are 9 x 5 (down: full top row, up: full bottom row),
// the landscape ones 5 x 9 (left: full right column, right: full left one).
bool Drawn(HWND popup, int x, int y)
{
    UpdateWindow(popup);
    HDC dc = GetDC(popup);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(popup, dc);
    return colour != CLR_INVALID && colour != settings.popupbkgcolor;
}

// Probes at the ends of those full rows and columns.
struct ArrowPixels {
    bool topRight, rightOfRow5, bottomOfColumn5, bottomLeft;
};

ArrowPixels LookAtArrow(HWND popup, const PopupView& opened)
{
    const int x = opened.client.cx - POPUP_TOGGLE_WIDTH + 5, y = opened.client.cy - POPUP_TOGGLE_HEIGHT + 5;
    return {Drawn(popup, x + 8, y), Drawn(popup, x + 8, y + 4), Drawn(popup, x + 4, y + 8), Drawn(popup, x, y + 8)};
}

bool Inside(const RECT& inner, SIZE outer)
{
    return inner.left >= 0 && inner.top >= 0 && inner.right <= outer.cx && inner.bottom <= outer.cy;
}

}  // namespace

TEST(PopupTexts, PhonesNameTitleAndTheAddressBlockWithEachPartMissingInTurn)
{
    const ContactRecord all = Record({{OFFICE, L"1"}, {OTHER, L"2"}, {MOBILE, L"3"}, {HOME, L"4"}, {FAX, L"5"}});
    EXPECT_EQ(L"1 (Office)\n3 (Cell Phone)\n4 (Home)\n", PopupPhoneText(all, false));
    EXPECT_EQ(L"1 (Office)\n3 (Cell Phone)\n4 (Home)\n5 (Fax)\n2 (Other)", PopupPhoneText(all, true));

    EXPECT_EQ(L"Vance", PopupNameText(Record({{LAST, L"Vance"}})));
    EXPECT_EQ(L"Ada ", PopupNameText(Record({{FIRST, L"Ada"}})));
    EXPECT_EQ(L"Quay\n", PopupTitleText(Record({{COMPANY, L"Quay"}})));
    EXPECT_EQ(L"Buyer\n", PopupTitleText(Record({{TITLE, L"Buyer"}})));
    const ContactRecord empty = {};
    EXPECT_EQ(L"", PopupNameText(empty) + PopupTitleText(empty) + PopupPhoneText(empty, true) +
                       PopupAdditionalText(empty));

    const std::map<int, std::wstring> full = {{STREET, L"S"}, {CITY, L"C"}, {STATE, L"T"}, {ZIP, L"Z"},
                                              {EMAIL, L"e"}, {EMAIL2, L"f"}, {EMAIL3, L"g"}, {WEB, L"w"}};
    EXPECT_EQ(L"S\nC,T Z\ne\nf\ng\nw", PopupAdditionalText(Record(full)));
    const std::map<int, std::wstring> withoutOne = {
        {STREET, L"\nC,T Z\ne\nf\ng\nw"}, {CITY, L"S\n,T Z\ne\nf\ng\nw"}, {STATE, L"S\nC Z\ne\nf\ng\nw"},
        {ZIP, L"S\nC,T\ne\nf\ng\nw"},     {EMAIL2, L"S\nC,T Z\ne\ng\nw"}, {WEB, L"S\nC,T Z\ne\nf\ng"}};
    for (const auto& missing : withoutOne) {
        std::map<int, std::wstring> fields = full;
        fields.erase(missing.first);
        EXPECT_EQ(missing.second, PopupAdditionalText(Record(fields))) << missing.first;
    }
    EXPECT_EQ(L"S", PopupAdditionalText(Record({{STREET, L"S"}})));
    EXPECT_EQ(L"\nC Z", PopupAdditionalText(Record({{CITY, L"C"}, {ZIP, L"Z"}})));
}

using ContactPopup = ViewsTest;

// Info opens the short form; a tap outside the arrow closes it, the arrow
// toggles the long form, and the next opening remembers the form. In
// landscape the additional info stands right of the name column.
TEST_F(ContactPopup, InfoShowsTheShortFormTheArrowTogglesTheLongFormAndLandscapePutsItRight)
{
    AddDeviceContact(L"Vance, Ada", {{FIRST, L"Ada"}, {LAST, L"Vance"}, {TITLE, L"Buyer"}, {COMPANY, L"Quayside"},
                                     {OFFICE, L"1"}, {MOBILE, L"3"}, {FAX, L"5"}, {OTHER, L"2"},
                                     {STREET, L"1 Quay St"}, {CITY, L"Lyme"}, {EMAIL, L"ada@q.example"}});
    ASSERT_NE(nullptr, Start());
    TapRow(Contacts(), 0);
    PopupView shown;
    int seen = 0;
    scenario->AnswerDialogs([&](HWND popup) {
        ++seen;
        shown = Look(popup);
        TapPopup(popup, 10, 10);
    });
    SendMessageW(Contacts(), WM_COMMAND, IDM_INFO, 0);
    ASSERT_EQ(1, seen);
    EXPECT_EQ(L"Ada Vance", shown.text[NAME]);
    EXPECT_EQ(L"Buyer\nQuayside\n", shown.text[TITLE_LINE]);
    EXPECT_EQ(L"1 (Office)\n3 (Cell Phone)\n", shown.text[PHONES]);
    EXPECT_FALSE(shown.visible[ADDITIONAL]);
    EXPECT_EQ(POPUP_TOP, shown.window.top);
    EXPECT_LT(shown.rect[TITLE_LINE].bottom, shown.rect[PHONES].top);
    for (int i : {NAME, TITLE_LINE, PHONES})
        EXPECT_TRUE(shown.visible[i] && Inside(shown.rect[i], shown.client)) << i;
    EXPECT_EQ(0, StoredValue(L"defaultpopupinfosize")) << "a tap remembers the short form";

    // Escape closes it as Enter does.
    bool stillOpen = true;
    scenario->AnswerDialogs([&](HWND popup) {
        scenario->Key(popup, VK_ESCAPE);
        stillOpen = IsWindowVisible(popup) != FALSE;
        if (stillOpen)
            TapPopup(popup, 10, 10);
    });
    SendMessageW(Contacts(), WM_COMMAND, IDM_INFO, 0);
    EXPECT_FALSE(stillOpen);

    PopupView opened, expanded, collapsed, keyed;
    ArrowPixels down = {}, up = {};
    int storedWhileOpen = 9;
    scenario->AnswerDialogs([&](HWND popup) {
        opened = Look(popup);
        down = LookAtArrow(popup, opened);
        TapArrow(popup, opened);
        expanded = Look(popup);
        up = LookAtArrow(popup, opened);
        storedWhileOpen = StoredValue(L"defaultpopupinfosize");
        TapArrow(popup, opened);
        collapsed = Look(popup);
        scenario->Key(popup, VK_DOWN);
        keyed = Look(popup);
        TapPopup(popup, 5, opened.client.cy - 3);
    });
    SendMessageW(Contacts(), WM_COMMAND, IDM_INFO, 0);

    EXPECT_EQ(L"1 (Office)\n3 (Cell Phone)\n5 (Fax)\n2 (Other)", expanded.text[PHONES]);
    EXPECT_TRUE(expanded.visible[ADDITIONAL]);
    EXPECT_EQ(L"1 Quay St\nLyme\nada@q.example", expanded.text[ADDITIONAL]);
    EXPECT_GT(expanded.rect[ADDITIONAL].top, expanded.rect[PHONES].bottom);
    EXPECT_GT(expanded.client.cy, opened.client.cy);
    EXPECT_TRUE(Inside(expanded.rect[ADDITIONAL], expanded.client));
    EXPECT_EQ(1, storedWhileOpen) << "every toggle writes the form";
    EXPECT_TRUE(down.topRight && !down.rightOfRow5 && !down.bottomOfColumn5) << "short form: the down arrow";
    EXPECT_TRUE(up.rightOfRow5 && !up.topRight) << "long form: the up arrow";

    EXPECT_EQ(opened.text[PHONES], collapsed.text[PHONES]);
    EXPECT_FALSE(collapsed.visible[ADDITIONAL]);
    EXPECT_EQ(opened.client.cy, collapsed.client.cy);
    EXPECT_TRUE(keyed.visible[ADDITIONAL]) << "the Down key taps the arrow";

    // Closed by a tap in the long form: the next opening starts long, and
    // Enter closes it without writing the form.
    PopupView reopened;
    scenario->AnswerDialogs([&](HWND popup) {
        reopened = Look(popup);
        RegWriteDword(L"defaultpopupinfosize", 0);
        scenario->Key(popup, VK_RETURN);
    });
    scenario->Key(Contacts(), VK_RETURN);
    EXPECT_TRUE(reopened.visible[ADDITIONAL]);
    EXPECT_EQ(0, StoredValue(L"defaultpopupinfosize"));

    settings.defaultpopupinfosize = 0;   // the landscape look starts short as well
    SetWindowPos(scenario->MainWindow(), nullptr, 0, 26, 320, 214, SWP_NOZORDER);
    PopupView wideOpened, wide, wideCollapsed;
    ArrowPixels left = {}, right = {};
    scenario->AnswerDialogs([&](HWND popup) {
        wideOpened = Look(popup);
        left = LookAtArrow(popup, wideOpened);
        TapArrow(popup, wideOpened);
        wide = Look(popup);
        right = LookAtArrow(popup, wideOpened);
        TapArrow(popup, wideOpened);
        wideCollapsed = Look(popup);
        TapPopup(popup, 1, 1);
    });
    SendMessageW(Contacts(), WM_COMMAND, IDM_INFO, 0);
    EXPECT_TRUE(wide.visible[ADDITIONAL]);
    EXPECT_GE(wide.rect[ADDITIONAL].left, wide.rect[NAME].right + 20);
    EXPECT_EQ(wide.rect[TITLE_LINE].top, wide.rect[ADDITIONAL].top);
    EXPECT_GT(wide.client.cx, wideOpened.client.cx);
    EXPECT_TRUE(Inside(wide.rect[ADDITIONAL], wide.client));
    EXPECT_LE(wide.window.right, 320);
    EXPECT_EQ(wideOpened.client.cx, wideCollapsed.client.cx);
    EXPECT_TRUE(left.bottomOfColumn5 && !left.bottomLeft && !left.topRight) << "short form: the left arrow";
    EXPECT_TRUE(right.bottomLeft && !right.bottomOfColumn5) << "long form: the right arrow";
}

// Without title and company the phones follow the name one gap below, the
// gap a title shows; a contact with nothing to show still opens, with every
// text hidden; long texts wrap inside the popup, which stays on the screen.
TEST_F(ContactPopup, TextsKeepTheirPlacesWithFewFieldsOrLongOnes)
{
    AddDeviceContact(L"Buyer", {{LAST, L"Vance"}, {TITLE, L"Buyer"}});
    const std::wstring longMail(70, L'm');
    AddDeviceContact(L"Long", {{FIRST, L"Bartholomew-Maximilian"}, {LAST, L"Featherstonehaugh-Cholmondeley"},
                        {TITLE, L"Senior Vice President of Regional Partnerships and Channel Development"},
                        {OFFICE, L"+44 20 7946 0000 extension 12345 ask for the front desk"},
                        {OTHER, L"+44207946000012345678901234567890"},
                        {STREET, L"Flat 12, The Old Rope Works, 1-3 Long Quay Street"},
                        {EMAIL, longMail + L"@q.example"}, {EMAIL2, longMail + L"@r.example"},
                        {EMAIL3, longMail + L"@s.example"}, {WEB, L"https://" + longMail + L".example"}});
    AddDeviceContact(L"Vance", {{LAST, L"Vance"}, {HOME, L"77"}});
    AddDeviceContact(L"Zz", {});
    ASSERT_NE(nullptr, Start());
    std::vector<PopupView> views;   // each contact's short form, then its long form
    scenario->AnswerDialogs([&](HWND popup) {
        views.push_back(Look(popup));
        TapArrow(popup, views.back());
        views.push_back(Look(popup));
        TapPopup(popup, 1, 1);
    });
    for (int row = 0; row < 4; ++row) {
        TapRow(Contacts(), row);
        SendMessageW(Contacts(), WM_COMMAND, IDM_INFO, 0);
    }
    ASSERT_EQ(8u, views.size());

    const int gap = views[0].rect[TITLE_LINE].top - views[0].rect[NAME].bottom;
    EXPECT_GT(gap, 0);
    const PopupView& person = views[4];
    EXPECT_FALSE(person.visible[TITLE_LINE]);
    EXPECT_EQ(person.rect[NAME].bottom + gap, person.rect[PHONES].top);
    EXPECT_EQ(person.client.cy, views[5].client.cy) << "no address: the long form only adds phones";
    EXPECT_FALSE(views[5].visible[ADDITIONAL]);
    for (const PopupView& empty : {views[6], views[7]})
        for (bool visible : empty.visible)
            EXPECT_FALSE(visible);

    const PopupView& opened = views[2];
    RECT screen;
    GetWindowRect(scenario->MainWindow(), &screen);
    for (const PopupView& view : {opened, views[3]}) {
        EXPECT_LE(view.window.bottom, screen.bottom);
        EXPECT_LE(view.window.right, screen.right);
        for (int i = 0; i < 4; ++i) {
            if (!view.visible[i])
                continue;
            EXPECT_LE(view.rect[i].right, view.client.cx) << i;
            EXPECT_EQ(opened.rect[NAME].right - opened.rect[NAME].left, view.rect[i].right - view.rect[i].left)
                << "every text keeps to the column: " << i;
        }
    }
    EXPECT_GT(opened.rect[NAME].bottom - opened.rect[NAME].top, 20) << "the bold name wraps";
}
