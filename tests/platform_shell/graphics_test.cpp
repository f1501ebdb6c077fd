#include "platform/shell/aygshell.h"
#include "tests/harness/memory_surface.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF MAGENTA = RGB(255, 0, 255);
constexpr COLORREF RED = RGB(255, 0, 0);
constexpr COLORREF BLUE = RGB(0, 0, 255);
constexpr COLORREF GREEN = RGB(0, 128, 0);

} // namespace

// The program draws its pictures from bitmaps, never from a device context.
TEST(TransparentImage, LeavesOutTheTransparentColourOfABitmap)
{
    Surface picture(4, 1, MAGENTA);
    SetPixel(picture.dc, 1, 0, BLUE);
    SetPixel(picture.dc, 3, 0, GREEN);
    HBITMAP bitmap = picture.Release();

    Surface target(4, 1, RED);
    ASSERT_TRUE(TransparentImage(target.dc, 0, 0, 4, 1, bitmap, 0, 0, 4, 1, MAGENTA));
    EXPECT_EQ(RED, GetPixel(target.dc, 0, 0));
    EXPECT_EQ(BLUE, GetPixel(target.dc, 1, 0));
    EXPECT_EQ(GREEN, GetPixel(target.dc, 3, 0));
}
