#include "settings/registry_list.h"

#include "settings/settings.h"

#include <cwchar>

void RegWriteNumberList(const wchar_t* pattern, const int* values, int count)
{
    for (int i = 0; i < count; ++i) {
        wchar_t name[32];
        std::swprintf(name, 32, pattern, i);
        RegWriteDword(name, static_cast<DWORD>(values[i]));
    }
}
