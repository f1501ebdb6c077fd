#include "views/sorting.h"
#include "views/view_diagnostics.h"

#include "base/text.h"
#include "store/activity_database.h"
#include "store/activity_queries.h"

#include <cstdio>
#include <cwchar>
#include <memory>
#include <new>
#include <utility>

long sortRecordReads;

// What contacts without an activity sort by in a date column: a date after
// any real one in the direction that would otherwise put them first.
static const wchar_t NO_ACTIVITY_FIRST_KEY[] = L"0.00";
static const wchar_t NO_ACTIVITY_LAST_KEY[] = L"949998";

void ActivitySortKey(CEOID oid, wchar_t* key, int field, int direction)
{
    if (oid == 0) {
        const bool date = field == ACTIVITY_COLUMN_DATE || field == ACTIVITY_COLUMN_NEXT_DATE;
        CopyText(key, SORT_KEY_CAPACITY, !date ? L"" : direction ? NO_ACTIVITY_FIRST_KEY : NO_ACTIVITY_LAST_KEY);
        return;
    }
    ActivityRecord record = {};
    ReadActivityRecordDB(activityDatabase, oid, &record);
    ++sortRecordReads;
    ActivityRecordSortKey(record, key, field);
}

void ActivityRecordSortKey(const ActivityRecord& record, wchar_t* key, int field)
{
    GetActivityColumnText(record, field, key, SORT_KEY_CAPACITY, 1);
}

// A key's numeric reading: trimmed, made only of digits, minus signs and
// points, and readable as a double.
static bool NumericValue(wchar_t* key, double* value)
{
    TrimSpaces(key);
    if (!key[0] || key[std::wcsspn(key, L"0123456789-.")] != 0)
        return false;
    return std::swscanf(key, L"%lf", value) == 1;
}

static int CompareNumbers(double a, double b, int direction)
{
    if (a == b)
        return 0;
    // Direction 1 puts the larger number (the newer date) first.
    const bool aFirst = direction ? a > b : a < b;
    return aFirst ? -1 : 1;
}

void MakeSortKey(const wchar_t* text, SortKey* key)
{
    CopyText(key->text, text);
    wchar_t trimmed[SORT_KEY_CAPACITY];
    CopyText(trimmed, key->text);
    key->numeric = NumericValue(trimmed, &key->value);
}

int CompareSortKeys(const SortKey& a, const SortKey& b, int direction)
{
    if (a.numeric && b.numeric)
        return CompareNumbers(a.value, b.value, direction);
    return direction == 1 ? _wcsicmp(a.text, b.text) : _wcsicmp(b.text, a.text);
}

namespace {

struct HeapArrays {
    CEOID* keys;
    CEOID* parallel;
    SortKey* sortKeys;
    int direction;

    void Swap(int i, int j)
    {
        std::swap(keys[i], keys[j]);
        if (parallel)
            std::swap(parallel[i], parallel[j]);
        std::swap(sortKeys[i], sortKeys[j]);
    }

    void SiftDown(int i, int end)
    {
        for (;;) {
            const int first = 2 * i + 1;
            if (first > end)
                return;
            int child = first;
            if (first + 1 <= end && CompareSortKeys(sortKeys[first], sortKeys[first + 1], direction) <= 0)
                child = first + 1;
            if (CompareSortKeys(sortKeys[i], sortKeys[child], direction) >= 0)
                return;
            Swap(i, child);
            i = child;
        }
    }
};

} // namespace

void SortOIDList(CEOID* keys, CEOID* parallel, int count, int field, int direction)
{
    if (!keys || count < 2)
        return;
    std::unique_ptr<SortKey[]> sortKeys(new (std::nothrow) SortKey[count]);
    if (!sortKeys)
        return;
    for (int i = 0; i < count; ++i) {
        wchar_t text[SORT_KEY_CAPACITY];
        ActivitySortKey(keys[i], text, field, direction);
        MakeSortKey(text, &sortKeys[i]);
    }
    SortOIDListByKeys(keys, parallel, sortKeys.get(), count, direction);
}

void SortOIDListByKeys(CEOID* keys, CEOID* parallel, SortKey* sortKeys, int count, int direction)
{
    if (!keys || !sortKeys || count < 2)
        return;
    HeapArrays heap = {keys, parallel, sortKeys, direction};
    for (int i = count / 2 - 1; i >= 0; --i)
        heap.SiftDown(i, count - 1);
    for (int end = count - 1; end >= 1; --end) {
        heap.Swap(0, end);
        heap.SiftDown(0, end - 1);
    }
}

void ReverseOIDList(CEOID* oids, int count)
{
    if (!oids)
        return;
    for (int i = 0; i < count / 2; ++i)
        std::swap(oids[i], oids[count - 1 - i]);
}
