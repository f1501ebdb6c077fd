// A second program of the device for the sharing tests:
//   notify_helper add COUNT TAG     schedules COUNT notifications titled TAG-n
//   notify_helper dialog TITLE TEXT schedules one dialog notification
// Exits with 0 when every one was stored.
#include "platform/notify/notify.h"

#include <shellapi.h>

#include <cwchar>
#include <string>

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv)
        return 2;
    if (argc == 4 && wcscmp(argv[1], L"dialog") == 0) {
        CE_NOTIFICATION_TRIGGER trigger = {};
        trigger.dwSize = sizeof trigger;
        trigger.dwType = CNT_TIME;
        trigger.stStartTime = {2031, 5, 0, 4, 9, 30, 0, 0};
        CE_USER_NOTIFICATION user = {};
        user.ActionFlags = PUN_DIALOG;
        user.pwszDialogTitle = argv[2];
        user.pwszDialogText = argv[3];
        return CeSetUserNotificationEx(nullptr, &trigger, &user) ? 0 : 1;
    }
    if (argc != 4 || wcscmp(argv[1], L"add") != 0)
        return 2;
    const int count = _wtoi(argv[2]);
    for (int i = 0; i < count; ++i) {
        std::wstring title = std::wstring(argv[3]) + L"-" + std::to_wstring(i);
        CE_NOTIFICATION_TRIGGER trigger = {};
        trigger.dwSize = sizeof trigger;
        trigger.dwType = CNT_TIME;
        trigger.stStartTime = {2031, 5, 0, 4, 9, 30, 0, 0};
        CE_USER_NOTIFICATION user = {};
        user.ActionFlags = PUN_DIALOG;
        user.pwszDialogTitle = &title[0];
        user.pwszDialogText = &title[0];
        if (!CeSetUserNotificationEx(nullptr, &trigger, &user))
            return 1;
    }
    return 0;
}
