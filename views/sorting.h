// Sorting the lists' object id arrays by an activity field.
#pragma once
#include "platform/cedb/windbase.h"

#include <cstddef>

constexpr int SORT_KEY_CAPACITY = 40;

// The key text of one activity (oid 0: a contact without an activity).
void ActivitySortKey(CEOID oid, wchar_t* key, int field, int direction);
// Negative when a goes before b. Trims the keys in place.
int CompareSortKeys(wchar_t* a, wchar_t* b, int direction);
// Heapsort of keys (and the parallel array, when given) by CompareSortKeys.
void SortOIDList(CEOID* keys, CEOID* parallel, int count, int field, int direction);
void ReverseOIDList(CEOID* oids, int count);

// How many activity records the sorts have read since start; the benchmark
// and the tests follow the cost with it.
extern long sortRecordReads;
