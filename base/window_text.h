// A window's text read into a fixed buffer. The system's own reads cut at the
// buffer's end even inside a surrogate pair; this one cuts through CopyText.
#pragma once
#include <windows.h>

#include <cstddef>

// Returns false when the text had to be cut (or there is no window).
bool ReadWindowText(HWND window, wchar_t* buffer, size_t capacity);

template <size_t N>
bool ReadWindowText(HWND window, wchar_t (&buffer)[N])
{
    return ReadWindowText(window, buffer, N);
}
