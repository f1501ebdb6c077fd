// The five pick-lists of labels, each a database of text records.
#pragma once
#include "platform/cedb/windbase.h"

constexpr wchar_t EVENTS_DATABASE[] = L"EventsDatabase";
constexpr wchar_t NEXT_ACTION_DATABASE[] = L"NextActionDatabase";
constexpr wchar_t USER1_DATABASE[] = L"User1Database";
constexpr wchar_t USER2_DATABASE[] = L"User2Database";
constexpr wchar_t USER3_DATABASE[] = L"User3Database";

// Labels are read into buffers of this many characters.
constexpr int LABEL_READ_CAPACITY = 100;
// Selected-only saving stores at most this many items.
constexpr int MAX_SAVED_SELECTION = 200;

void SeedDefaultLabels();
void FillLabelCombo(HWND combo, const wchar_t* database);
void FillLabelList(HWND list, const wchar_t* database);
void AddLabelIfMissing(const wchar_t* database, const wchar_t* label);
// The Descriptor page's Add: label is the edit box text, trimmed here.
void AddLabel(HWND list, const wchar_t* database, const wchar_t* label);
void DeleteSelectedLabels(HWND list, const wchar_t* database);
// Rewrites the database from the list box: all items, or with selectedOnly
// the selected ones. Returns the result of the last write.
CEOID saveLBTextToDatabase(HWND list, const wchar_t* database, int selectedOnly);
