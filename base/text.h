// Fixed-capacity UTF-16 buffers: every copy into one goes through CopyText.
#pragma once
#include <cstddef>

// Copies source into a buffer of capacity characters, terminator included,
// cutting it where needed without splitting a surrogate pair. A null source
// copies as empty. Returns false when the text had to be cut.
bool CopyText(wchar_t* buffer, size_t capacity, const wchar_t* source);

template <size_t N>
bool CopyText(wchar_t (&buffer)[N], const wchar_t* source)
{
    return CopyText(buffer, N, source);
}

// Removes trailing, then leading blanks (U+0020 only) in place, so a string of
// blanks becomes empty. Empty strings and strings longer than 999 characters
// are left as they are.
void TrimSpaces(wchar_t* text);
