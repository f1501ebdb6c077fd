#include "base/window_text.h"

#include "base/text.h"

#include <string>

bool ReadWindowText(HWND window, wchar_t* buffer, size_t capacity)
{
    if (!buffer || capacity == 0)
        return false;
    // One unit beyond what fits shows whether a pair straddles the cut.
    std::wstring text(capacity + 1, L'\0');
    const int length = window ? GetWindowTextW(window, &text[0], static_cast<int>(text.size())) : 0;
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    const bool whole = CopyText(buffer, capacity, text.c_str());
    return whole && window != nullptr;
}
