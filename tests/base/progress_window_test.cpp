// The progress window on its own: labels, a range beyond 16 bits, its face
// and rounded corners, and the null handle every operation accepts.
#include "base/progress_window.h"
#include "resources/progress_window_ids.h"
#include "tests/harness/ui_wait.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

TEST(ProgressWindow, ShowsLabelsCountsBeyondSixteenBitsAndHasCutCorners)
{
    HWND window = CreateProgressWindow(nullptr);
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(IsWindowVisible(window));

    SetProgressTexts(window, L"Purging Activity Records", L"Please wait...", 0, 100000);
    EXPECT_EQ(L"Purging Activity Records", ItemText(window, IDC_PROGRESS_MAIN_LABEL));
    EXPECT_EQ(L"Please wait...", ItemText(window, IDC_PROGRESS_SUB_LABEL));
    EXPECT_EQ(0, SendDlgItemMessageW(window, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));

    StepProgress(window, L"Processing 70 % complete", 70000);
    EXPECT_EQ(L"Processing 70 % complete", ItemText(window, IDC_PROGRESS_SUB_LABEL));
    EXPECT_EQ(70000, SendDlgItemMessageW(window, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));
    EXPECT_EQ(L"Purging Activity Records", ItemText(window, IDC_PROGRESS_MAIN_LABEL));

    // A fresh range puts the bar back at its start.
    SetProgressTexts(window, L"Processing Activity Records", L"Remove Orphans", 1, 2);
    EXPECT_EQ(1, SendDlgItemMessageW(window, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));

    // The corners are cut.
    RECT client;
    GetClientRect(window, &client);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(window, region));
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_FALSE(PtInRegion(region, client.right - 1, client.bottom - 1));
    EXPECT_TRUE(PtInRegion(region, client.right / 2, client.bottom / 2));
    DeleteObject(region);

    // None stands for a window that could not be made.
    SetProgressTexts(nullptr, L"x", L"y", 0, 1);
    StepProgress(nullptr, L"z", 1);
    DestroyProgressWindow(nullptr);
    EXPECT_EQ(L"Remove Orphans", ItemText(window, IDC_PROGRESS_SUB_LABEL));

    DestroyProgressWindow(window);
    EXPECT_FALSE(IsWindow(window));
}
