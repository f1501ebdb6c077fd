#include "tests/sheet/sheet_fixture.h"

#include "resources/resource.h"
#include "settings/settings.h"
#include "views/view_resources.h"

using ColorPageTest = SheetTest;

TEST_F(ColorPageTest, SectionsShowTheirOwnControlsAndChosenColoursAreStoredOnOkAndShowAtOnce)
{
    ASSERT_NE(nullptr, Start());
    OnPage(COLOR, [&](HWND, HWND page) {
        ChooseInOpenList(page, IDC_COLOR_SECTION, 3);
        Choose(page, IDC_COLOR_SECTION, 1);
        for (int id : {IDC_COLOR_LV2_ROWS_LABEL, IDC_COLOR_LV2_ROW1, IDC_COLOR_LV2_LINE_STYLE})
            EXPECT_TRUE(Visible(page, id)) << id;
        for (int id : {IDC_COLOR_LV1_ROWS_LABEL, IDC_COLOR_LV1_ROW1, IDC_COLOR_LV1_LINE_STYLE,
                       IDC_COLOR_POPUP_BACKGROUND_LABEL, IDC_COLOR_POPUP_CONTROLS, IDC_COLOR_NOTES_TEXT})
            EXPECT_FALSE(Visible(page, id)) << id;
        RECT contacts, activity, notes;
        GetWindowRect(GetDlgItem(page, IDC_COLOR_LV1_TEXT), &contacts);
        GetWindowRect(GetDlgItem(page, IDC_COLOR_LV2_TEXT), &activity);
        GetWindowRect(GetDlgItem(page, IDC_COLOR_NOTES_TEXT), &notes);
        EXPECT_EQ(contacts.top, activity.top);
        EXPECT_EQ(contacts.top, notes.top) << "the notes text swatch takes the fifth place";
        // Back to Popup, closed there: the next opening starts on Contacts.
        Choose(page, IDC_COLOR_SECTION, 3);
    });
    OnPage(COLOR, [&](HWND, HWND page) {
        EXPECT_TRUE(Visible(page, IDC_COLOR_LV1_ROW1));
        EXPECT_FALSE(Visible(page, IDC_COLOR_POPUP_TEXT));
        Choose(page, IDC_COLOR_SECTION, 2);
        EXPECT_FALSE(Visible(page, IDC_COLOR_LV1_ROW1));
        EXPECT_TRUE(Visible(page, IDC_COLOR_NOTES_BACKGROUND));
    }, IDCANCEL);

    // The selector is a rounded card outlined on every side. Cancelled in
    // the selector: nothing changes.
    WindowImage card;
    answerOthers = [&](HWND selector) {
        card = scenario->SettledCapture(selector);
        Click(selector, 1107);
        Scenario::PressButton(selector, IDC_COLOUR_CANCEL);
    };
    OnPage(COLOR, [&](HWND, HWND page) { Click(page, IDC_COLOR_LV1_TEXT); });
    EXPECT_EQ(0, StoredValue(L"lv1textcolor"));
    ASSERT_GT(card.width, 40);
    ASSERT_GT(card.height, 40);
    // The 2-pixel outline lies within the outermost three pixels of each
    // side, with no frame outside it.
    auto outlined = [&](int x, int y, int dx, int dy) {
        for (int step = 0; step < 3; ++step)
            if (card.At(x + step * dx, y + step * dy) == RGB(0, 0, 0))
                return true;
        return false;
    };
    const int midX = card.width / 2, midY = card.height / 2;
    EXPECT_TRUE(outlined(0, midY, 1, 0)) << "left";
    EXPECT_TRUE(outlined(card.width - 1, midY, -1, 0)) << "right";
    EXPECT_TRUE(outlined(midX, 0, 0, 1)) << "top";
    EXPECT_TRUE(outlined(midX, card.height - 1, 0, -1)) << "bottom";
    // The title band reaches both ends, inside the outline.
    EXPECT_EQ(card.At(4, 9), card.At(card.width - 5, 9));
    EXPECT_NE(RGB(255, 255, 255), card.At(card.width - 5, 9));

    // Picked, then cancelled on the sheet: nothing changes either.
    PickPreset(1107);
    OnPage(COLOR, [&](HWND, HWND page) { Click(page, IDC_COLOR_LV1_TEXT); }, IDCANCEL);
    EXPECT_EQ(0, StoredValue(L"lv1textcolor"));
    EXPECT_EQ(0x000000u, settings.lv1textcolor);

    PickPreset(1100);
    OnPage(COLOR, [&](HWND, HWND page) {
        Choose(page, IDC_COLOR_SECTION, 1);
        Click(page, IDC_COLOR_LV2_ROW1);
        Choose(page, IDC_COLOR_LV2_LINE_STYLE, 3);
    });
    EXPECT_EQ(0x7EFBF7, StoredValue(L"lv2r1color"));
    EXPECT_EQ(3, StoredValue(L"lv2lines"));
    EXPECT_EQ(0xC4FFC4, StoredValue(L"lv1r1color")) << "every colour is written";
    EXPECT_EQ(0x7EFBF7u, BrushColour(hLv2Row1Brush)) << "the stripes take the new colour at once";
    EXPECT_EQ(0xAEFFFFu, BrushColour(hNotesBrush));
}
