// The five pick-lists of labels, each a database of text records.
#pragma once
#include "platform/cedb/windbase.h"

#include <string>
#include <vector>

constexpr wchar_t EVENTS_DATABASE[] = L"EventsDatabase";
constexpr wchar_t NEXT_ACTION_DATABASE[] = L"NextActionDatabase";
constexpr wchar_t USER1_DATABASE[] = L"User1Database";
constexpr wchar_t USER2_DATABASE[] = L"User2Database";
constexpr wchar_t USER3_DATABASE[] = L"User3Database";

// Labels are read into buffers of this many characters.
constexpr int LABEL_READ_CAPACITY = 100;
// Selected-only saving stores at most this many items.
constexpr int MAX_SAVED_SELECTION = 200;

// Each writer returns false when its change was not kept (the reason is
// noted for the caller to report, store/store_error.h).
bool SeedDefaultLabels();
// The labels of a list in the order its database sorts them; empty when the
// database cannot be opened.
std::vector<std::wstring> ReadLabels(const wchar_t* database);
// Adds the label unless the list holds exactly it (letter case counts).
bool AddLabelIfMissing(const wchar_t* database, const wchar_t* label);
// Adds the label as it is.
bool AppendLabel(const wchar_t* database, const wchar_t* label);
// Rewrites the list with these labels, all of them or, on failure, none:
// the list then stays as it was.
bool ReplaceLabels(const wchar_t* database, const std::vector<std::wstring>& labels);
