// Stand-in for the handheld's user notification service: timed notifications
// kept for the whole device, shown as bubbles when they fall due.
//
// Notifications live in "notifications.dat" in the device folder (the folder
// named by VANTARO_DEVICE_DIR, else %LOCALAPPDATA%\Vantaro\Device), shared by
// every program of the device. Trigger times are local device time.
#pragma once
#include <windows.h>

// Trigger types.
#define CNT_EVENT 1
#define CNT_TIME 2
#define CNT_PERIOD 3
#define CNT_CLASSICTIME 4

// Action flags of the user-notification part.
#define PUN_LED 1
#define PUN_VIBRATE 2
#define PUN_DIALOG 4
#define PUN_SOUND 8
#define PUN_REPEAT 16
#define PUN_PRIVATE 32

// Status in the information header.
#define CNS_SIGNALLED 1

typedef struct UserNotificationTrigger {
    DWORD dwSize;
    DWORD dwType;
    DWORD dwEvent;
    WCHAR* lpszApplication;
    WCHAR* lpszArguments;
    SYSTEMTIME stStartTime;
    SYSTEMTIME stEndTime;
} CE_NOTIFICATION_TRIGGER, *PCE_NOTIFICATION_TRIGGER;

typedef struct UserNotificationType {
    DWORD ActionFlags;
    WCHAR* pwszDialogTitle;
    WCHAR* pwszDialogText;
    WCHAR* pwszSound;
    DWORD nMaxSound;
    DWORD dwReserved;
} CE_USER_NOTIFICATION, *PCE_USER_NOTIFICATION;

// What CeGetUserNotification writes at the start of the caller's buffer; the
// two parts and their strings follow it in the same buffer.
typedef struct UserNotificationInfoHeader {
    HANDLE hNotification;
    DWORD dwStatus;
    CE_NOTIFICATION_TRIGGER* pcent;
    CE_USER_NOTIFICATION* pceun;
} CE_NOTIFICATION_INFO_HEADER, *PCE_NOTIFICATION_INFO_HEADER;

// Schedules a notification (handle 0) or replaces an existing one. The user
// part may be absent. Returns the notification's handle, or null with the
// last error set.
HANDLE CeSetUserNotificationEx(HANDLE notification, CE_NOTIFICATION_TRIGGER* trigger,
                               CE_USER_NOTIFICATION* user);
// Always reports the number of notifications in *needed; copies the handles
// when the buffer holds them all, else fails with ERROR_INSUFFICIENT_BUFFER
// (a null buffer with size 0 only asks for the count and succeeds).
BOOL CeGetUserNotificationHandles(HANDLE* handles, DWORD capacity, LPDWORD needed);
// Copies the header, trigger, user part and strings of one notification into
// buffer; a buffer that is too small (or none) fails with
// ERROR_INSUFFICIENT_BUFFER after reporting the size in *bytesNeeded.
BOOL CeGetUserNotification(HANDLE notification, DWORD bufferSize, LPDWORD bytesNeeded, LPBYTE buffer);
// Removes a notification, closing its bubble if it is shown.
BOOL CeClearUserNotification(HANDLE notification);
