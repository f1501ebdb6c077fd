// An activity's texts as every view shows them: the lists' columns, the find
// filter, export and reminders. Columns are numbered as the activity fields.
#pragma once
#include "store/activity_record.h"

#include <cstddef>

enum ActivityColumn {
    ACTIVITY_COLUMN_DATE = 0,
    ACTIVITY_COLUMN_NEXT_DATE = 1,
    ACTIVITY_COLUMN_EVENT = 2,
    ACTIVITY_COLUMN_NEXT_ACTION = 3,
    ACTIVITY_COLUMN_NOTES = 4,
    ACTIVITY_COLUMN_USER1 = 5,
    ACTIVITY_COLUMN_USER2 = 6,
    ACTIVITY_COLUMN_USER3 = 7,
};

constexpr int COLUMN_TEXT_CAPACITY = 40;

bool IsDateColumn(int column);
// The stored text of a text column, whole; null for the date columns and for
// numbers outside 0..7.
const wchar_t* ActivityFieldText(const ActivityRecord& record, int column);
// "(None)" for no date (0.0), else the short date, or "Unknown" when it
// cannot be formatted; raw dates are written with "%f" (sort keys).
void FormatActivityDate(double date, wchar_t* buffer, size_t capacity, int raw);
// The display text of a column: dates as above, texts cut to 39 characters,
// notes with their line breaks as blanks; "Unknown" below 0, "Error" above 7.
void GetActivityColumnText(ActivityRecord record, int column, wchar_t* buffer, size_t capacity, int raw);
