#include "platform/notify/device_clock.h"

#include <atomic>
#include <cwchar>

// The notification host reads the clock from its own thread, so the pinned
// time is one atomic FILETIME value; 0 means not pinned.
static std::atomic<long long> pinnedTime{0};

static long long ToTicks(const SYSTEMTIME& time)
{
    FILETIME file;
    if (!SystemTimeToFileTime(&time, &file))
        return 0;
    return (static_cast<long long>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
}

static bool FromTicks(long long ticks, SYSTEMTIME* time)
{
    FILETIME file;
    file.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFF);
    file.dwHighDateTime = static_cast<DWORD>(static_cast<unsigned long long>(ticks) >> 32);
    return FileTimeToSystemTime(&file, time) != 0;
}

static long long EnvironmentTime()
{
    wchar_t value[64];
    DWORD length = GetEnvironmentVariableW(L"VANTARO_DEVICE_TIME", value, 64);
    if (length == 0 || length >= 64)
        return 0;
    int year, month, day, hour = 0, minute = 0, second = 0;
    if (swscanf(value, L"%d-%d-%d %d:%d:%d", &year, &month, &day, &hour, &minute, &second) < 3)
        return 0;
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    time.wSecond = static_cast<WORD>(second);
    return ToTicks(time);
}

void GetDeviceLocalTime(SYSTEMTIME* now)
{
    long long ticks = pinnedTime.load();
    if (!ticks)
        ticks = EnvironmentTime();
    if (!ticks || !FromTicks(ticks, now))
        GetLocalTime(now);
}

bool SetDeviceClock(const SYSTEMTIME* localTime)
{
    if (!localTime) {
        pinnedTime.store(0);
        return true;
    }
    const long long ticks = ToTicks(*localTime);
    if (!ticks)
        return false;
    pinnedTime.store(ticks);
    return true;
}
