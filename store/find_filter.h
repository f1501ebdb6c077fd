// What the find bar asks the queries to look for. The bar writes this state;
// the activity and contact queries read it. It holds no window.
#pragma once

extern int findBarVisible;      // 1 while the find bar is shown
extern int findMode;            // 0: search contacts, 1: search activities

// What the bar searches for: trimmed and lower-cased, at most 79 characters.
constexpr int FIND_TEXT_CAPACITY = 80;
extern wchar_t findText[FIND_TEXT_CAPACITY];

enum : int {
    FIND_MODE_CONTACTS = 0,
    FIND_MODE_ACTIVITIES = 1,
};

// Whether a query asked to apply the find (applyFlag 1) is narrowed now: the
// bar is shown, searches the query's kind (mode) and has a text.
bool FindFilterApplies(int applyFlag, int mode);
// Whether a field's lower-cased text contains the find text.
bool MatchesFindText(const wchar_t* loweredText);
