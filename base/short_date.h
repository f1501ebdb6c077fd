// Dates shown to the user: an OLE automation date in the short date format of
// the user's locale.
#pragma once
#include <cstddef>

// The date's text, cut to the buffer; false (and empty text) when the date
// cannot be converted or formatted.
bool FormatShortDate(double oleDate, wchar_t* buffer, size_t capacity);
