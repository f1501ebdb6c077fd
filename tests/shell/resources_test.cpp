#include <windows.h>

#include <string>

#include <gtest/gtest.h>

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
