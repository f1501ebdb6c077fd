// Reminders: timed notifications of the device's notification service. The
// program keeps no table of them; an activity finds its reminder again by the
// title and text rebuilt from its contact, Next Action and Next Date.
#pragma once
#include <windows.h>

#include <cstddef>

#include "settings/settings.h"   // REMINDER_CHOICES

constexpr int REMINDER_TITLE_CAPACITY = 100;
constexpr int REMINDER_TEXT_CAPACITY = 200;
constexpr int REMINDER_DATE_CAPACITY = 80;  // the short date text
constexpr int REMINDER_NAME_CAPACITY = 40;  // contact name and Next Action

// The reminder list's items, in index order.
extern const wchar_t* const reminderChoices[REMINDER_CHOICES];

// Interval in days for reminder index 1..13; 0 for any other index.
double ReminderInterval(int remindIndex);
// When a reminder of the index fires for a Next Date: its whole day plus the
// interval (OLE date).
double ReminderTime(double nextDate, int remindIndex);
// "QL <date>" and "Vantaro Reminder:\n<name> (<next action>) <date>".
void FormatReminder(const wchar_t* contactName, const wchar_t* nextAction, double nextDate, wchar_t* title,
                    size_t titleCapacity, wchar_t* text, size_t textCapacity);
// 1 when the service took the notification, else 0.
int ScheduleReminder(const wchar_t* text, const wchar_t* title, double reminderTime, DWORD actionFlags);
// Clears every dialog notification of the device with exactly this title and
// text; reports the service's failures.
void ClearReminder(const wchar_t* text, const wchar_t* title);

enum : int {
    NOTIFICATION_INFO_READ = 0,
    NOTIFICATION_INFO_NO_MEMORY = 1,
    NOTIFICATION_INFO_UNAVAILABLE = 2,
};
// Reads whether a notification is a dialog one, and then its title and text.
int ReadNotificationInfo(HANDLE notification, int* isDialog, wchar_t* title, size_t titleCapacity, wchar_t* text,
                         size_t textCapacity);

// Clears the reminder of an activity of the named contact, as deleting the
// activity does (with or without a reminder index).
void ClearActivityReminder(const wchar_t* contactName, const wchar_t* nextAction, double nextDate);
