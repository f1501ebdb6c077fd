#include "platform/shell/aygshell.h"
#include "tests/harness/memory_surface.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF MAGENTA = RGB(255, 0, 255);
constexpr COLORREF RED = RGB(255, 0, 0);
constexpr COLORREF BLUE = RGB(0, 0, 255);
constexpr COLORREF GREEN = RGB(0, 128, 0);

} // namespace

TEST(TransparentImage, LeavesOutTheTransparentColourFromBitmapsAndDeviceContexts)
{
    Surface picture(4, 1, MAGENTA);
    SetPixel(picture.dc, 1, 0, BLUE);
    SetPixel(picture.dc, 3, 0, GREEN);

    Surface target(4, 1, RED);
    ASSERT_TRUE(TransparentImage(target.dc, 0, 0, 4, 1, picture.dc, 0, 0, 4, 1, MAGENTA));
    EXPECT_EQ(RED, GetPixel(target.dc, 0, 0));
    EXPECT_EQ(BLUE, GetPixel(target.dc, 1, 0));
    EXPECT_EQ(RED, GetPixel(target.dc, 2, 0));
    EXPECT_EQ(GREEN, GetPixel(target.dc, 3, 0));

    Surface second(4, 1, RED);
    HBITMAP bitmap = picture.Release();
    ASSERT_TRUE(TransparentImage(second.dc, 0, 0, 4, 1, bitmap, 0, 0, 4, 1, MAGENTA));
    EXPECT_EQ(RED, GetPixel(second.dc, 0, 0));
    EXPECT_EQ(BLUE, GetPixel(second.dc, 1, 0));
    EXPECT_EQ(GREEN, GetPixel(second.dc, 3, 0));
}

TEST(TransparentImage, RefusesMissingSourcesAndEmptySizes)
{
    Surface target(2, 2, RED);
    EXPECT_FALSE(TransparentImage(target.dc, 0, 0, 2, 2, nullptr, 0, 0, 2, 2, MAGENTA));
    HBRUSH notABitmap = CreateSolidBrush(BLUE);
    EXPECT_FALSE(TransparentImage(target.dc, 0, 0, 2, 2, notABitmap, 0, 0, 2, 2, MAGENTA));
    DeleteObject(notABitmap);
    Surface picture(2, 2, BLUE);
    EXPECT_FALSE(TransparentImage(target.dc, 0, 0, 0, 2, picture.dc, 0, 0, 2, 2, MAGENTA));
    EXPECT_FALSE(TransparentImage(target.dc, 0, 0, 2, 2, picture.dc, 0, 0, 2, -1, MAGENTA));
    EXPECT_EQ(RED, GetPixel(target.dc, 0, 0));
}
