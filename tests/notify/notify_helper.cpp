// A second program of the device for the sharing tests:
//   notify_helper add COUNT TAG     schedules COUNT notifications titled TAG-n
// Exits with 0 when every one was stored.
#include "tests/notify/notify_testing.h"

#include <shellapi.h>

#include <cwchar>
#include <string>

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 4 || wcscmp(argv[1], L"add") != 0)
        return 2;
    const SYSTEMTIME when = At(2031, 5, 4, 9, 30);
    for (int i = 0; i < _wtoi(argv[2]); ++i) {
        std::wstring title = std::wstring(argv[3]) + L"-" + std::to_wstring(i);
        if (!ScheduleDialog(when, title.c_str(), title.c_str(), PUN_DIALOG))
            return 1;
    }
    return 0;
}
