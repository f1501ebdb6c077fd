// Sorting the lists' object id arrays by an activity field.
#pragma once
#include "platform/cedb/windbase.h"
#include "store/activity_record.h"

#include <cstddef>

constexpr int SORT_KEY_CAPACITY = 40;

// The key text of one activity (oid 0: a contact without an activity).
void ActivitySortKey(CEOID oid, wchar_t* key, int field, int direction);
// The key text of an activity already read.
void ActivityRecordSortKey(const ActivityRecord& record, wchar_t* key, int field);
// A key made once per entry: the comparison of two entries depends only on
// their key texts, so reading each record once gives the order that reading
// it on every comparison would.
struct SortKey {
    wchar_t text[SORT_KEY_CAPACITY];
    bool numeric;    // the trimmed text is a number: digits, minus signs, points
    double value;
};
void MakeSortKey(const wchar_t* text, SortKey* key);
// Negative when a goes before b: numbers by value when both are numbers
// (direction 1 puts the larger first), otherwise texts ignoring case.
int CompareSortKeys(const SortKey& a, const SortKey& b, int direction);
// Heapsort of keys (and the parallel array, when given) by CompareSortKeys.
void SortOIDList(CEOID* keys, CEOID* parallel, int count, int field, int direction);
// The same with each entry's key made already (sortKeys, reordered too).
void SortOIDListByKeys(CEOID* keys, CEOID* parallel, SortKey* sortKeys, int count, int direction);
void ReverseOIDList(CEOID* oids, int count);
