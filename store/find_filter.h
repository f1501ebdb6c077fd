// What the find bar asks the queries to look for. The bar writes this state;
// the activity and contact queries read it. It holds no window.
#pragma once

extern int findBarVisible;      // 1 while the find bar is shown
extern int findMode;            // 0: search contacts, 1: search activities

// What the bar searches for: trimmed and lower-cased, at most 79 characters.
// Empty until the go button reads the text box, so a find applies only
// after go, never with a text left from before the bar was shown again.
constexpr int FIND_TEXT_CAPACITY = 80;
extern wchar_t findText[FIND_TEXT_CAPACITY];

enum : int {
    FIND_MODE_CONTACTS = 0,
    FIND_MODE_ACTIVITIES = 1,
};

// The state of a program just started: bar hidden, contacts mode, no text.
void ResetFindState();
// Takes a typed text as the find text: blanks trimmed at both ends, cut to
// 79 characters without splitting a surrogate pair, lower-cased.
void SetFindText(const wchar_t* typed);
// Lower-cases a text in place as the find compares texts: the platform's
// invariant case mapping, which covers letters beyond ASCII and outside the
// basic plane and never changes the text's length.
void LowerCaseText(wchar_t* text);

// Whether a query asked to apply the find (applyFlag 1) is narrowed now: the
// bar is shown, searches the query's kind (mode) and has a text.
bool FindFilterApplies(int applyFlag, int mode);
// Whether a field's lower-cased text contains the find text.
bool MatchesFindText(const wchar_t* loweredText);
