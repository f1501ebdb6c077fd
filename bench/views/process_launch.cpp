#include "bench/views/process_launch.h"

#include <windows.h>

#include "bench/milliseconds.h"

namespace {

BOOL CALLBACK CloseWindowsOf(HWND window, LPARAM process)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == static_cast<DWORD>(process) && IsWindowVisible(window))
        PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

}  // namespace

double LaunchUntilIdle(const std::wstring& program, const std::wstring& folder)
{
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const double start = Now();
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process))
        return -1;
    const DWORD idle = WaitForInputIdle(process.hProcess, 60000);
    const double took = Now() - start;
    EnumWindows(CloseWindowsOf, static_cast<LPARAM>(process.dwProcessId));
    if (WaitForSingleObject(process.hProcess, 15000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return idle == 0 ? took : -1;
}
