// Arrays of activity object ids for the views, and the text of an activity
// column.
#pragma once
#include "platform/cedb/windbase.h"
#include "store/activity_record.h"

#include <cstddef>

// Column indices of an activity, as the views number them.
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

// Fills *oids (a malloc'd array, null when empty) with the activities of one
// contact, or of all contacts for contactOid 0, in contact-id order. With
// applyFind 1 the find bar's activity search narrows the list.
void getActivityOIDList(CEOID** oids, CEOID contactOid, int* count, int applyFind);

// Fills *latest (a malloc'd array, null when contactCount is 0) with one
// entry per contact of `contacts`, in the same order: the object id of that
// contact's flagged latest activity, or 0.
void getLastActivityOIDList(CEOID** latest, const CEOID* contacts, int contactCount);

int ContactHasLastActivity(HANDLE database, CEOID contactOid, ActivityRecord* record);
void DeleteContactActivities(CEOID contactOid);

// The display text of a column; raw dates are written with "%f".
void GetActivityColumnText(ActivityRecord record, int column, wchar_t* buffer, size_t capacity, int raw);
