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
    DWORD flags;
    SYSTEMTIME start;
    std::wstring title, text;
};

// The device's notifications, and one's information as the service hands
// it out; empty where the service refuses.
inline std::vector<HANDLE> NotificationHandles()
{
    DWORD needed = 0;
    if (!CeGetUserNotificationHandles(nullptr, 0, &needed))
        return {};
    std::vector<HANDLE> handles(needed);
    if (needed && !CeGetUserNotificationHandles(handles.data(), needed, &needed))
        return {};
    return handles;
}

inline std::vector<BYTE> NotificationInfo(HANDLE notification)
{
    DWORD needed = 0;
    if (CeGetUserNotification(notification, 0, &needed, nullptr) || needed == 0)
        return {};
    std::vector<BYTE> buffer(needed);
    if (!CeGetUserNotification(notification, needed, &needed, buffer.data()))
        return {};
    return buffer;
}

inline std::vector<StoredNotification> StoredNotifications()
{
    std::vector<StoredNotification> all;
    for (HANDLE handle : NotificationHandles()) {
        std::vector<BYTE> buffer = NotificationInfo(handle);
        if (buffer.empty())
            continue;
        auto* header = reinterpret_cast<CE_NOTIFICATION_INFO_HEADER*>(buffer.data());
        StoredNotification item = {0, header->pcent->stStartTime, L"", L""};
        if (header->pceun) {
            item.flags = header->pceun->ActionFlags;
            item.title = header->pceun->pwszDialogTitle ? header->pceun->pwszDialogTitle : L"";
            item.text = header->pceun->pwszDialogText ? header->pceun->pwszDialogText : L"";
        }
        all.push_back(item);
    }
    return all;
}
