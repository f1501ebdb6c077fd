#include "resources/shell_ids.h"
#include "shell/startup.h"
#include "tests/harness/scenario.h"

#include <shlobj.h>

#include <gtest/gtest.h>

TEST(Startup, SecondStartBringsTheFirstForwardAndExitsWith16)
{
    Scenario scenario;
    HWND window = scenario.Start();
    ASSERT_NE(nullptr, window);
    // Another program's window in front, and a window of the first instance
    // that the user worked in last.
    HWND other = CreateWindowExW(0, L"STATIC", L"another program", WS_POPUP | WS_VISIBLE, 300, 0, 100, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    HWND popup = CreateWindowExW(0, L"STATIC", L"owned", WS_POPUP | WS_VISIBLE, 20, 60, 100, 100, window,
                                 nullptr, nullptr, nullptr);
    ASSERT_TRUE(other && popup);
    auto secondStart = [&](HWND expectedForeground) {
        SetForegroundWindow(other);
        ASSERT_TRUE(scenario.PumpUntil([&] { return GetForegroundWindow() == other; }));
        DWORD exitCode = 0;
        ASSERT_TRUE(RunProgram(L"\"" + WindowsPath(VANTARO_EXE) + L"\"", &exitCode));
        EXPECT_EQ(16u, exitCode);
        EXPECT_EQ(window, FindWindowW(L"Vantaro", nullptr));
        EXPECT_TRUE(scenario.PumpUntil([&] { return GetForegroundWindow() == expectedForeground; }, 3000));
        EXPECT_FALSE(IsIconic(window));
    };
    SetForegroundWindow(popup);
    secondStart(popup);
    DestroyWindow(popup);
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window));
    secondStart(window);
    DestroyWindow(other);
    EXPECT_EQ(0, scenario.Close());
}

TEST(Startup, UnregistrableClassEndsWithExitCode1)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    for (const wchar_t* taken : {L"Vantaro", L"splitter"}) {
        WNDCLASSW squatter = {};
        squatter.lpfnWndProc = DefWindowProcW;
        squatter.hInstance = instance;
        squatter.lpszClassName = taken;
        ASSERT_NE(0, RegisterClassW(&squatter));
        EXPECT_EQ(1, RunVantaro(instance, SW_SHOW)) << "class taken: " << taken;
        EXPECT_EQ(nullptr, FindWindowW(L"Vantaro", L"Vantaro"));
        UnregisterWindowClasses(instance);
    }
}

TEST(Startup, ExitCommandEndsTheProgramWithTheQuitCodeAndLeavesABackup)
{
    // The program runs from a folder of its own, and no earlier backup in the
    // prefix's documents folder may raise the restore question.
    Scenario sandbox;
    // Far longer than the 99 characters a handheld path may have: nothing may
    // be cut from the volume's path.
    const std::wstring folder =
        sandbox.InstallFolder() + L"\\a folder name that makes the install path longer than any handheld path";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_GT(folder.size(), 99u);
    const std::wstring program = folder + L"\\vantaro.exe";
    ASSERT_TRUE(CopyFileW(WindowsPath(VANTARO_EXE).c_str(), program.c_str(), FALSE));
    wchar_t documents[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, documents, CSIDL_PERSONAL, FALSE));
    const std::wstring backup = std::wstring(documents) + L"\\vt1.vol";
    DeleteFileW(backup.c_str());

    DWORD exitCode = 99;
    bool exitSent = false;
    ASSERT_TRUE(RunProgram(L"\"" + program + L"\"", &exitCode, 30000, [&](HANDLE process) {
        // Idle means start-up is over and the message loop waits for input.
        if (exitSent || WaitForInputIdle(process, 0) != 0)
            return;
        if (HWND running = FindWindowW(L"Vantaro", L"Vantaro"))
            exitSent = PostMessageW(running, WM_COMMAND, IDM_EXIT, 0) != 0;
    }));
    EXPECT_TRUE(exitSent);
    EXPECT_EQ(0u, exitCode);
    EXPECT_EQ(nullptr, FindWindowW(L"Vantaro", L"Vantaro"));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((folder + L"\\vt1.vol").c_str()));
    EXPECT_TRUE(DeleteFileW(backup.c_str()));   // the normal exit refreshed the backup
}

