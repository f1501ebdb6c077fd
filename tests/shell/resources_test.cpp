#include <windows.h>

#include <gtest/gtest.h>

// The program's manifest asks for common controls 6; this test carries the
// same resources, so the system loads them from their side-by-side folder
// here too. (Wine runs every program DPI-aware whatever the manifest says, so
// the DPI choice cannot be observed.)
TEST(Resources, TheManifestBringsCommonControls6)
{
    HMODULE controls = LoadLibraryW(L"comctl32.dll");
    ASSERT_NE(nullptr, controls);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(controls, path, MAX_PATH);
    CharLowerW(path);
    EXPECT_NE(nullptr, wcsstr(path, L"microsoft.windows.common-controls_6595b64144ccf1df_6.0.")) << path;
    FreeLibrary(controls);
}
