#include "resources/resource.h"

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

namespace {

struct Picture {
    int id;
    int width;
    int height;
};

// Sizes the drawing code relies on; a picture of another size would be cut
// or leave gaps where it is drawn at a fixed place.
const Picture pictures[] = {
    {IDB_COLOR_TITLE_BAND, 240, 18},
    {IDB_MESSAGE_BOX_BAND, 240, 18},
    {IDB_MESSAGE_BOX_WARNING, 32, 32},
    {IDB_MENUBAR_BUTTONS, 16 * MENUBAR_BUTTON_IMAGES, 16},
    {IDB_ARROW_DOWN, 9, 5},
    {IDB_ARROW_UP, 9, 5},
    {IDB_ARROW_LEFT, 5, 9},
    {IDB_ARROW_RIGHT, 5, 9},
    {IDB_CLOSE, 15, 15},
    {IDB_CORNER_BOX, 16, 14},
    {IDB_HEADER_BAND, 241, 17},
    {IDB_SORT_ARROWS, 24, 5},
    {IDB_SORT_ARROWS_MASK, 24, 5},
    {IDB_FIND_ACTIVITIES, 16, 15},
    {IDB_FIND_CONTACTS, 16, 15},
    {IDB_GO, 22, 19},
    {IDB_GO_PRESSED, 22, 19},
};

} // namespace

TEST(Resources, EveryPictureHasTheSizeItIsDrawnAt)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    for (const Picture& picture : pictures) {
        HBITMAP bitmap = LoadBitmapW(instance, MAKEINTRESOURCEW(picture.id));
        ASSERT_NE(nullptr, bitmap) << picture.id;
        BITMAP info = {};
        GetObjectW(bitmap, sizeof info, &info);
        EXPECT_EQ(picture.width, info.bmWidth) << picture.id;
        EXPECT_EQ(picture.height, info.bmHeight) << picture.id;
        DeleteObject(bitmap);
    }
    // The sort arrows' mask is one bit deep: set where the image is transparent.
    HBITMAP mask = LoadBitmapW(instance, MAKEINTRESOURCEW(IDB_SORT_ARROWS_MASK));
    BITMAP info = {};
    GetObjectW(mask, sizeof info, &info);
    EXPECT_EQ(1, info.bmBitsPixel);
    DeleteObject(mask);
}

TEST(Resources, HeaderBandMarksTheNineIndexGroupsWhereThePenFindsThem)
{
    // Group boundaries of the alphabet index; the band draws a divider at
    // each inner one and lettering inside every group.
    const int bounds[] = {0, 26, 53, 80, 107, 133, 161, 188, 215, 240};
    HBITMAP band = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_HEADER_BAND));
    ASSERT_NE(nullptr, band);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, band);
    auto isLetter = [&](int x, int y) { return GetPixel(dc, x, y) == RGB(255, 255, 255); };
    for (int g = 0; g < 9; ++g) {
        int letterPixels = 0;
        for (int x = bounds[g] + 2; x < bounds[g + 1]; ++x)
            for (int y = 0; y < 17; ++y)
                letterPixels += isLetter(x, y) ? 1 : 0;
        EXPECT_GT(letterPixels, 10) << "group " << g;
        if (g > 0) {
            EXPECT_NE(GetPixel(dc, bounds[g], 8), GetPixel(dc, bounds[g] + 3, 2)) << "divider " << g;
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(band);
}

TEST(Resources, NoteIconIsNinePixelsHigh)
{
    HICON icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_NOTE), IMAGE_ICON, 0, 0, 0));
    ASSERT_NE(nullptr, icon);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP mask = {};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(10, mask.bmWidth);
    // Without a colour bitmap the mask holds both halves.
    EXPECT_EQ(info.hbmColor ? 9 : 18, mask.bmHeight);
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DestroyIcon(icon);
}

// The manifest the program starts with; this test carries the same resources,
// so the system set it up for this process too.
TEST(Resources, ManifestNamesWindows10CommonControls6UnawareDpiAndLongPaths)
{
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(nullptr, found);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    std::string manifest;
    for (DWORD i = 0; i < SizeofResource(nullptr, found); ++i) {
        const char c = bytes[i] == '\n' || bytes[i] == '\r' ? ' ' : bytes[i];
        if (c != ' ' || (!manifest.empty() && manifest.back() != ' '))
            manifest += c;
    }
    for (const char* wanted : {
             "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",
             "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
             "publicKeyToken=\"6595b64144ccf1df\"",
             "WindowsSettings\">false</dpiAware>",
             "WindowsSettings\">unaware</dpiAwareness>",
             "WindowsSettings\">true</gdiScaling>",
             "WindowsSettings\">true</longPathAware>",
             "<requestedExecutionLevel level=\"asInvoker\"",
         })
        EXPECT_NE(std::string::npos, manifest.find(wanted)) << wanted;

    // What the system made of it: common controls 6 come from their
    // side-by-side folder. (Wine runs every program DPI-aware whatever the
    // manifest says, so the DPI choice cannot be observed here.)
    HMODULE controls = LoadLibraryW(L"comctl32.dll");
    ASSERT_NE(nullptr, controls);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(controls, path, MAX_PATH);
    CharLowerW(path);
    EXPECT_NE(nullptr, wcsstr(path, L"microsoft.windows.common-controls_6595b64144ccf1df_6.0.")) << path;
    FreeLibrary(controls);
}
