// The device's clock: the one place the program and the notification service
// read "now" from. Tests pin it; a program started by a test can be given a
// pinned time through VANTARO_DEVICE_TIME ("YYYY-MM-DD HH:MM:SS", local).
#pragma once
#include <windows.h>

// Local device time (the system clock unless pinned).
void GetDeviceLocalTime(SYSTEMTIME* now);
// Pins the clock at a local time; null lets it follow the system clock again.
// Returns false (and changes nothing) for a time that is not a valid date.
bool SetDeviceClock(const SYSTEMTIME* localTime);
