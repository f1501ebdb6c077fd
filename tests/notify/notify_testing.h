// What the tests of the notification service and of the reminders share:
// device times, scheduling a dialog notification, and the device's
// notifications read back through the service's own calls.
#pragma once
#include "platform/notify/notify.h"

#include <oleauto.h>

#include <string>
#include <vector>

inline SYSTEMTIME At(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0)
{
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    return time;
}

inline double OleDate(SYSTEMTIME time)
{
    double date = 0;
    SystemTimeToVariantTime(&time, &date);
    return date;
}

inline std::wstring ShortDate(double date)
{
    SYSTEMTIME time;
    VariantTimeToSystemTime(date, &time);
    wchar_t text[80] = {};
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, text, 80);
    return text;
}

inline CE_NOTIFICATION_TRIGGER TimeTrigger(const SYSTEMTIME& when)
{
    CE_NOTIFICATION_TRIGGER trigger = {};
    trigger.dwSize = sizeof trigger;
    trigger.dwType = CNT_TIME;
    trigger.stStartTime = when;
    return trigger;
}

// A timed notification as any program of the device may set one.
inline HANDLE ScheduleDialog(const SYSTEMTIME& when, const wchar_t* title, const wchar_t* text,
                             DWORD flags = PUN_LED | PUN_DIALOG)
{
    CE_NOTIFICATION_TRIGGER trigger = TimeTrigger(when);
    CE_USER_NOTIFICATION user = {};
    user.ActionFlags = flags;
    user.pwszDialogTitle = const_cast<WCHAR*>(title);
    user.pwszDialogText = const_cast<WCHAR*>(text);
    return CeSetUserNotificationEx(nullptr, &trigger, &user);
}

struct StoredNotification {
    HANDLE handle;
    DWORD type, flags;
    SYSTEMTIME start;
    std::wstring title, text;
    bool hasSound;
};

inline std::vector<StoredNotification> StoredNotifications()
{
    std::vector<StoredNotification> all;
    DWORD count = 0;
    CeGetUserNotificationHandles(nullptr, 0, &count);
    std::vector<HANDLE> handles(count);
    if (count == 0 || !CeGetUserNotificationHandles(handles.data(), count, &count))
        return all;
    for (HANDLE handle : handles) {
        DWORD needed = 0;
        CeGetUserNotification(handle, 0, &needed, nullptr);
        std::vector<BYTE> buffer(needed);
        if (!needed || !CeGetUserNotification(handle, needed, &needed, buffer.data()))
            continue;
        auto* header = reinterpret_cast<CE_NOTIFICATION_INFO_HEADER*>(buffer.data());
        StoredNotification item = {handle, header->pcent->dwType, 0, header->pcent->stStartTime, L"", L"", false};
        if (header->pceun) {
            item.flags = header->pceun->ActionFlags;
            item.title = header->pceun->pwszDialogTitle ? header->pceun->pwszDialogTitle : L"";
            item.text = header->pceun->pwszDialogText ? header->pceun->pwszDialogText : L"";
            item.hasSound = header->pceun->pwszSound != nullptr;
        }
        all.push_back(item);
    }
    return all;
}
