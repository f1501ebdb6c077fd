#include "base/text.h"

static bool IsHighSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool CopyText(wchar_t* buffer, size_t capacity, const wchar_t* source)
{
    if (!buffer || capacity == 0)
        return source == nullptr || *source == 0;
    size_t length = 0;
    if (source) {
        while (length + 1 < capacity && source[length])
            ++length;
    }
    const bool whole = !source || source[length] == 0;
    // A high surrogate whose partner did not fit would leave half a character.
    if (!whole && length > 0 && IsHighSurrogate(source[length - 1]))
        --length;
    for (size_t i = 0; i < length; ++i)
        buffer[i] = source[i];
    buffer[length] = 0;
    return whole;
}

void TrimSpaces(wchar_t* text)
{
    if (!text)
        return;
    size_t length = 0;
    while (text[length] && length <= 999)
        ++length;
    if (length == 0 || length > 999)
        return;
    while (length > 0 && text[length - 1] == L' ')
        text[--length] = 0;
    size_t start = 0;
    while (text[start] == L' ')
        ++start;
    if (start > 0) {
        for (size_t i = 0; i + start <= length; ++i)
            text[i] = text[i + start];
    }
}
