// The one way text goes into a fixed-capacity WCHAR buffer of the database
// structures: cut to fit, always terminated.
#pragma once
#include <cstddef>

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/cedb/native/win_types.h"
#endif

namespace cedb {

// Copies at most capacity - 1 of the `len` units of `src`; returns the count copied.
template <class Unit>
size_t CopyFixedText(WCHAR* dst, size_t capacity, const Unit* src, size_t len)
{
    if (!dst || capacity == 0) return 0;
    size_t n = (src && len < capacity - 1) ? len : (src ? capacity - 1 : 0);
    for (size_t i = 0; i < n; ++i) dst[i] = static_cast<WCHAR>(src[i]);
    dst[n] = 0;
    return n;
}

// The same for a terminated string.
inline size_t CopyFixedText(WCHAR* dst, size_t capacity, const WCHAR* src)
{
    size_t len = 0;
    while (src && src[len] && len < capacity) ++len;
    return CopyFixedText(dst, capacity, src, len);
}

}  // namespace cedb
