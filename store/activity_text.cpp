#include "store/activity_text.h"

#include "base/short_date.h"
#include "base/text.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>

bool IsDateColumn(int column)
{
    return column == ACTIVITY_COLUMN_DATE || column == ACTIVITY_COLUMN_NEXT_DATE;
}

const wchar_t* ActivityFieldText(const ActivityRecord& record, int column)
{
    switch (column) {
    case ACTIVITY_COLUMN_EVENT: return record.event;
    case ACTIVITY_COLUMN_NEXT_ACTION: return record.nextAction;
    case ACTIVITY_COLUMN_NOTES: return record.notes;
    case ACTIVITY_COLUMN_USER1: return record.user1;
    case ACTIVITY_COLUMN_USER2: return record.user2;
    case ACTIVITY_COLUMN_USER3: return record.user3;
    default: return nullptr;
    }
}

void FormatActivityDate(double date, wchar_t* buffer, size_t capacity, int raw)
{
    if (date == 0.0)
        CopyText(buffer, capacity, L"(None)");
    else if (raw)
        std::swprintf(buffer, capacity, L"%f", date);
    else if (!FormatShortDate(date, buffer, capacity))
        CopyText(buffer, capacity, L"Unknown");
}

void GetActivityColumnText(ActivityRecord record, int column, wchar_t* buffer, size_t capacity, int raw)
{
    if (!buffer || capacity == 0)
        return;
    if (IsDateColumn(column)) {
        FormatActivityDate(column == ACTIVITY_COLUMN_DATE ? record.date : record.nextDate, buffer, capacity, raw);
        return;
    }
    record.notes[NOTES_CAPACITY - 1] = 0;
    const wchar_t* text = ActivityFieldText(record, column);
    if (!text) {
        CopyText(buffer, capacity, column < 0 ? L"Unknown" : L"Error");
        return;
    }
    // Label and notes columns show at most their first 39 characters.
    CopyText(buffer, std::min<size_t>(capacity, COLUMN_TEXT_CAPACITY), text);
    if (column == ACTIVITY_COLUMN_NOTES)
        for (wchar_t* c = buffer; *c; ++c)
            if (*c == L'\r' || *c == L'\n')
                *c = L' ';
}
