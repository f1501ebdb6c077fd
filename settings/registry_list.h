// An ordered list of numbers kept in the settings key as one numbered dword
// an entry: pattern "lv1columnorder%d" gives lv1columnorder0, lv1columnorder1, ...
#pragma once

void RegWriteNumberList(const wchar_t* pattern, const int* values, int count);
