#include "activity/reminders.h"
#include "activity/activity_diagnostics.h"

#include "platform/notify/notify.h"
#include "base/message_box.h"
#include "base/short_date.h"
#include "base/text.h"

#include <oleauto.h>

#include <cmath>
#include <cstdlib>
#include <string>

void* (*reminderAllocate)(size_t bytes) = std::malloc;

const wchar_t* const reminderChoices[REMINDER_CHOICES] = {
    L"NONE",   L"1 hour", L"2 hours", L"4 hours", L"6 hours", L"8 hours", L"1 day",
    L"2 days", L"3 days", L"4 days",  L"1 week",  L"2 weeks", L"3 weeks", L"4 weeks",
};

// The hour intervals are the truncated day fractions the stored reminders
// were always computed with, so they fall a fraction of a second early.
static const double reminderIntervals[REMINDER_CHOICES] = {
    0.0, 0.04166666, 0.08333332, 0.16666664, 0.24999996, 0.33333328, 1.0, 2.0, 3.0, 4.0, 7.0, 14.0, 21.0, 28.0,
};

double ReminderInterval(int remindIndex)
{
    if (remindIndex < 1 || remindIndex >= REMINDER_CHOICES)
        return 0.0;
    return reminderIntervals[remindIndex];
}

double ReminderTime(double nextDate, int remindIndex)
{
    return std::trunc(nextDate) + ReminderInterval(remindIndex);
}

void FormatReminder(const wchar_t* contactName, const wchar_t* nextAction, double nextDate, wchar_t* title,
                    size_t titleCapacity, wchar_t* text, size_t textCapacity)
{
    wchar_t name[REMINDER_NAME_CAPACITY], action[REMINDER_NAME_CAPACITY], date[REMINDER_DATE_CAPACITY];
    CopyText(name, contactName);
    CopyText(action, nextAction);
    FormatShortDate(nextDate, date, REMINDER_DATE_CAPACITY);
    const std::wstring fullTitle = std::wstring(L"QL ") + date;
    const std::wstring fullText =
        std::wstring(L"Vantaro Reminder:\n") + name + L" (" + action + L") " + date;
    CopyText(title, titleCapacity, fullTitle.c_str());
    CopyText(text, textCapacity, fullText.c_str());
}

int ScheduleReminder(const wchar_t* text, const wchar_t* title, double reminderTime, DWORD actionFlags)
{
    CE_NOTIFICATION_TRIGGER trigger = {};
    trigger.dwSize = sizeof trigger;
    trigger.dwType = CNT_TIME;
    if (!VariantTimeToSystemTime(reminderTime, &trigger.stStartTime))
        return 0;
    // The service keeps its own copies; the structure only lends them.
    CE_USER_NOTIFICATION user = {};
    user.ActionFlags = actionFlags;
    user.pwszDialogTitle = const_cast<WCHAR*>(title);
    user.pwszDialogText = const_cast<WCHAR*>(text);
    return CeSetUserNotificationEx(nullptr, &trigger, &user) ? 1 : 0;
}

int ReadNotificationInfo(HANDLE notification, int* isDialog, wchar_t* title, size_t titleCapacity, wchar_t* text,
                         size_t textCapacity)
{
    *isDialog = 0;
    CopyText(title, titleCapacity, L"");
    CopyText(text, textCapacity, L"");
    DWORD needed = 0;
    CeGetUserNotification(notification, 0, &needed, nullptr);
    if (needed == 0)
        return NOTIFICATION_INFO_UNAVAILABLE;
    BYTE* buffer = static_cast<BYTE*>(reminderAllocate(needed));
    if (!buffer)
        return NOTIFICATION_INFO_NO_MEMORY;
    if (!CeGetUserNotification(notification, needed, &needed, buffer)) {
        std::free(buffer);
        return NOTIFICATION_INFO_UNAVAILABLE;
    }
    const auto* header = reinterpret_cast<const CE_NOTIFICATION_INFO_HEADER*>(buffer);
    const CE_USER_NOTIFICATION* user = header->pceun;
    if (user && (user->ActionFlags & PUN_DIALOG)) {
        *isDialog = 1;
        CopyText(title, titleCapacity, user->pwszDialogTitle ? user->pwszDialogTitle : L"(No Title)");
        CopyText(text, textCapacity, user->pwszDialogText ? user->pwszDialogText : L"(No Text)");
    }
    std::free(buffer);
    return NOTIFICATION_INFO_READ;
}

void ClearReminder(const wchar_t* text, const wchar_t* title)
{
    DWORD count = 0;
    if (!CeGetUserNotificationHandles(nullptr, 0, &count)) {
        AppMessageBox(nullptr, L"Failed CeGetUserNotificationHandles!", L"Error", 0);
        return;
    }
    if (count == 0)
        return;
    HANDLE* handles = static_cast<HANDLE*>(reminderAllocate(count * sizeof(HANDLE)));
    if (!handles) {
        AppMessageBox(nullptr, L"Could not allocate mem for pHandles!", L"Out of Memory", 0);
        return;
    }
    if (!CeGetUserNotificationHandles(handles, count, &count)) {
        AppMessageBox(nullptr, L"Error with CeGetUserNotificationHandles!", L"Error", 0);
        std::free(handles);
        return;
    }
    // Every notification of the device is looked at, not only the program's
    // own, and every match goes.
    for (DWORD i = 0; i < count; ++i) {
        int isDialog = 0;
        wchar_t foundTitle[REMINDER_TITLE_CAPACITY * 2], foundText[REMINDER_TEXT_CAPACITY * 2];
        if (ReadNotificationInfo(handles[i], &isDialog, foundTitle, REMINDER_TITLE_CAPACITY * 2, foundText,
                                 REMINDER_TEXT_CAPACITY * 2) != NOTIFICATION_INFO_READ)
            continue;
        if (isDialog && wcscmp(foundTitle, title) == 0 && wcscmp(foundText, text) == 0)
            CeClearUserNotification(handles[i]);
    }
    std::free(handles);
}

void ClearActivityReminder(const wchar_t* contactName, const wchar_t* nextAction, double nextDate)
{
    wchar_t title[REMINDER_TITLE_CAPACITY], text[REMINDER_TEXT_CAPACITY];
    FormatReminder(contactName, nextAction, nextDate, title, REMINDER_TITLE_CAPACITY, text, REMINDER_TEXT_CAPACITY);
    ClearReminder(text, title);
}
