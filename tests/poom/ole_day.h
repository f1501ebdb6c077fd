// The OLE date of a calendar day, as the contact store keeps birthdays.
#pragma once
#include <windows.h>
#include <oleauto.h>

inline DATE OleDay(WORD year, WORD month, WORD day)
{
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    DATE date = 0;
    SystemTimeToVariantTime(&time, &date);
    return date;
}
