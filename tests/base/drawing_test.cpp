#include "base/drawing.h"
#include "base/text.h"
#include "tests/harness/memory_surface.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF BLACK = RGB(0, 0, 0), WHITE = RGB(255, 255, 255), GREEN = RGB(0, 255, 0);

TEST(Drawing, ClipWindowCornersCutsTwelvePixelsFromEachCorner)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    HRGN region = CreateRectRgn(0, 0, 100, 50);
    ClipWindowCorners(window, region);
    int missing[2][2] = {};
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x)
            if (!PtInRegion(region, x, y))
                ++missing[y >= 25][x >= 50];
    for (const auto& half : missing)
        for (int count : half)
            EXPECT_EQ(12, count);

    EXPECT_TRUE(PtInRegion(region, 0, 5));
    DeleteObject(region);
    DestroyWindow(window);
}

TEST(Drawing, RoundFrameDrawsTwoLinesOrOneWithoutOuterColour)
{
    Surface framed(40, 30);
    DrawRoundFrame(framed.dc, 0, 0, 40, 30, 4, GREEN, BLACK);
    EXPECT_EQ(BLACK, framed.At(0, 15));
    EXPECT_EQ(GREEN, framed.At(1, 15));
    EXPECT_EQ(WHITE, framed.At(20, 15));

    Surface single(40, 30);
    DrawRoundFrame(single.dc, 0, 0, 40, 30, 4, GREEN, NO_OUTER_LINE);
    EXPECT_EQ(GREEN, single.At(0, 15));
    EXPECT_EQ(WHITE, single.At(1, 15));
    EXPECT_EQ(0, single.Count(BLACK));
    // Pens are made and deleted inside: the context's own pen is back.
    EXPECT_EQ(GetStockObject(BLACK_PEN), GetCurrentObject(single.dc, OBJ_PEN));
}

// A plain Wine prefix has no Tahoma; the font mapper then goes by the family
// the font asks for, and the program's text must stay sans-serif.
TEST(Drawing, AppFontStaysSansSerifWhereTahomaIsMissing)
{
    for (int weight : {400, 700}) {
        HFONT app = CreateAppFont(weight, 12, 0);
        LOGFONTW font = {};
        ASSERT_EQ(static_cast<int>(sizeof font), GetObjectW(app, sizeof font, &font));
        DeleteObject(app);
        CopyText(font.lfFaceName, L"Vantaro Absent Face");
        HFONT substitute = CreateFontIndirectW(&font);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, substitute);
        TEXTMETRICW metrics = {};
        ASSERT_TRUE(GetTextMetricsW(dc, &metrics));
        wchar_t face[LF_FACESIZE] = L"";
        GetTextFaceW(dc, LF_FACESIZE, face);
        EXPECT_EQ(FF_SWISS, metrics.tmPitchAndFamily & 0xF0)
            << "weight " << weight << " maps to " << static_cast<const wchar_t*>(face);
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(substitute);
    }
}

TEST(Drawing, BitmapsAreCopiedWholeAtTheirSizeOrStretched)
{
    const COLORREF pixels[2][2] = {{RGB(255, 0, 0), GREEN}, {RGB(0, 0, 255), BLACK}};   // rows
    Surface source(2, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            SetPixel(source.dc, x, y, pixels[y][x]);
    HBITMAP bitmap = source.Release();

    // Stretched to 6 x 4, each pixel becomes a block of 3 x 2.
    Surface plain(10, 10), stretched(10, 10);
    DrawBitmap(plain.dc, bitmap, 3, 4);
    StretchBitmap(stretched.dc, bitmap, 2, 2, 6, 4);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            EXPECT_EQ(pixels[y][x], plain.At(3 + x, 4 + y)) << x << "," << y;
            EXPECT_EQ(pixels[y][x], stretched.At(2 + 5 * x, 2 + 3 * y)) << x << "," << y;
        }
    EXPECT_EQ(96, plain.Count(WHITE));
    EXPECT_EQ(100 - 24, stretched.Count(WHITE));

    // A missing bitmap draws nothing.
    Surface none(10, 10);
    DrawBitmap(none.dc, nullptr, 0, 0);
    StretchBitmap(none.dc, nullptr, 0, 0, 10, 10);
    EXPECT_EQ(100, none.Count(WHITE));
}

}  // namespace
