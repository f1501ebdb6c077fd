#include "base/short_date.h"

#include "base/text.h"

#include <windows.h>
#include <oleauto.h>

bool FormatShortDate(double oleDate, wchar_t* buffer, size_t capacity)
{
    if (!buffer || capacity == 0)
        return false;
    buffer[0] = L'\0';
    // Formatted in full first, so a small buffer gets a cut date rather than none.
    wchar_t text[80];
    SYSTEMTIME time = {};
    if (!VariantTimeToSystemTime(oleDate, &time) ||
        GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, text, 80) <= 0)
        return false;
    CopyText(buffer, capacity, text);
    return true;
}
