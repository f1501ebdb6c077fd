// What the find bar is searching for; the activity queries filter by it.
#pragma once

enum FindMode {
    FIND_CONTACTS = 0,
    FIND_ACTIVITIES = 1,
};

constexpr int FIND_TEXT_CAPACITY = 80;

extern int findBarShown;
extern int findMode;
// Trimmed and lower-cased, at most 79 characters.
extern wchar_t findText[FIND_TEXT_CAPACITY];
