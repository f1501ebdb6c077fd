#include "tests/views/views_fixture.h"

#include "platform/shell/sipapi.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "views/pane_layout.h"

namespace {

int ClientHeight()
{
    RECT client;
    GetClientRect(hMainWindow, &client);
    return client.bottom;
}

// Drags a splitter with the pen to client y.
void Drag(HWND splitter, int y)
{
    POINT point = {10, y};
    MapWindowPoints(hMainWindow, splitter, &point, 1);
    const LPARAM at = MAKELPARAM(point.x, point.y);
    SendMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 3));
    SendMessageW(splitter, WM_MOUSEMOVE, MK_LBUTTON, at);
    SendMessageW(splitter, WM_LBUTTONUP, 0, at);
}

}  // namespace

using PaneLayout = ViewsTest;

// Roll Up and Roll Down walk all layouts and back, splitters at the top
// moving clear of the find bar and back. The input panel squeezes the
// splitters between the list top and the bottom without writing them; they
// come back as it goes down.
TEST_F(PaneLayout, RollsWalkTheLayoutsDragsStopAtTheirLimitsAndTheSqueezeKeepsThemInside)
{
    ASSERT_NE(nullptr, Start());
    const int T = listTop;
    const int h = GetVisibleAreaSize().cy;
    // Roll Down twice leaves the contacts alone: both splitters at the bottom.
    scenario->Command(IDM_ROLL_DOWN);
    scenario->Command(IDM_ROLL_DOWN);
    EXPECT_GE(settings.sb1top, h - 12);
    EXPECT_GE(settings.sb2top, settings.sb1top + 6);
    // Roll Up four times reaches the notes alone: both splitters at the list top,
    // stored and shown; a fifth has nothing left to close.
    int previous = settings.sb1top;
    for (int i = 0; i < 5; ++i) {
        scenario->Command(IDM_ROLL_UP);
        EXPECT_LE(settings.sb1top, previous) << i;
        previous = settings.sb1top;
    }
    EXPECT_EQ(T - 1, settings.sb1top);
    EXPECT_EQ(T + 5, StoredValue(L"sb2top"));
    EXPECT_EQ(T + 5, ClientTop(hLowerSplitter));

    Find();
    EXPECT_EQ(LIST_TOP_FIND_BAR - 1, settings.sb1top);
    EXPECT_EQ(T - 1, StoredValue(L"sb1top")) << "the bar's moves are not written";
    EXPECT_EQ(LIST_TOP_FIND_BAR + 5, settings.sb2top);
    EXPECT_EQ(settings.sb2top, ClientTop(hLowerSplitter));
    // Roll Down recognises the notes-only layout under the bar.
    scenario->Command(IDM_ROLL_DOWN);
    EXPECT_EQ(LIST_TOP_FIND_BAR - 1, settings.sb1top);
    EXPECT_GT(settings.sb2top, LIST_TOP_FIND_BAR + 5);
    scenario->Command(IDM_ROLL_UP);
    scenario->Command(IDM_ROLL_UP);
    ASSERT_EQ(LIST_TOP_FIND_BAR + 5, settings.sb2top);
    Find();
    EXPECT_EQ(T - 1, ClientTop(hUpperSplitter));
    EXPECT_EQ(T + 5, ClientTop(hLowerSplitter));
    // And back down, the splitters in order and where the settings say.
    scenario->Command(IDM_ROLL_DOWN);
    scenario->Command(IDM_ROLL_DOWN);
    EXPECT_GT(settings.sb1top, T - 1);
    EXPECT_GT(settings.sb2top, settings.sb1top);
    EXPECT_EQ(settings.sb1top, ClientTop(hUpperSplitter));
    EXPECT_EQ(settings.sb1top, StoredValue(L"sb1top"));

    EXPECT_EQ(listTop, ClientTop(Contacts()));

    Drag(hUpperSplitter, 300);
    EXPECT_EQ(ClientTop(hLowerSplitter) - 7, ClientTop(hUpperSplitter)) << "stops 7 pixels above the lower splitter";
    Drag(hUpperSplitter, 2);
    EXPECT_EQ(listTop - 1, ClientTop(hUpperSplitter));
    EXPECT_EQ(listTop - 1, StoredValue(L"sb1top"));

    Drag(hLowerSplitter, 1000);
    EXPECT_EQ(ClientHeight() - 32, ClientTop(hLowerSplitter));
    Drag(hLowerSplitter, 0);
    EXPECT_EQ(ClientTop(hUpperSplitter) + 5, ClientTop(hLowerSplitter));
    EXPECT_EQ(ClientTop(hLowerSplitter), StoredValue(L"sb2top"));
    EXPECT_EQ(ClientTop(hLowerSplitter) + 6, ClientTop(Notes()));

    const int B0 = ClientHeight();
    // Layouts a user can leave behind, low ones and the special cases of the
    // squeeze among them.
    const int layouts[][2] = {{30, 60},       {T - 1, T + 5},   {T - 1, 40},  {40, 70},
                              {60, B0 - 13}, {B0 - 12, B0 - 6}, {125, 220}};
    for (const auto& layout : layouts) {
        settings.sb1top = layout[0];
        settings.sb2top = layout[1];
        MoveSplitter(hUpperSplitter, settings.sb1top);
        MoveSplitter(hLowerSplitter, settings.sb2top);
        LayoutPanes();
        SipShowIM(SIPF_ON);
        ASSERT_TRUE(scenario->PumpUntil([&] { return ClientHeight() < B0; }));
        const int B1 = ClientHeight();
        SCOPED_TRACE(testing::Message() << layout[0] << "/" << layout[1] << " squeezed to " << settings.sb1top << "/"
                                        << settings.sb2top << " in " << B1);
        EXPECT_GE(settings.sb1top, T - 1);
        EXPECT_GE(settings.sb2top, settings.sb1top + 6);
        EXPECT_LE(settings.sb2top, B1 - 6);
        EXPECT_EQ(settings.sb1top, ClientTop(hUpperSplitter));
        EXPECT_EQ(settings.sb2top, ClientTop(hLowerSplitter));
        EXPECT_NE(settings.sb2top, StoredValue(L"sb2top")) << "the squeeze is not written";
        SipShowIM(SIPF_OFF);
        ASSERT_TRUE(scenario->PumpUntil([&] { return ClientHeight() == B0; }));
        EXPECT_EQ(layout[0], settings.sb1top);
        EXPECT_EQ(layout[1], settings.sb2top);
    }
}
