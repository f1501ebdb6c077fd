// What the activity database holds, read as the program lists it, and
// activities filed as the activity dialog files them.
#pragma once
#include "base/text.h"
#include "store/activity_database.h"
#include "store/activity_queries.h"
#include "store/activity_record.h"

#include <cstdlib>
#include <vector>

// The activities of a contact (0: of everyone) in list order, unfiltered.
inline std::vector<CEOID> ActivityOids(CEOID contact)
{
    CEOID* oids = nullptr;
    int count = 0;
    getActivityOIDList(&oids, contact, &count, 0);
    std::vector<CEOID> list(oids, oids + count);
    std::free(oids);
    return list;
}

// The activity whole; all zero when it cannot be read.
inline ActivityRecord ReadActivity(CEOID oid)
{
    ActivityRecord record = {};
    if (ReadActivityRecordDB(activityDatabase, oid, &record) != oid)
        record = ActivityRecord();
    return record;
}

// A call on `date` for the contact, with its FileAs as the dialog stores it.
inline CEOID FileActivity(CEOID contact, const wchar_t* fileAs, double date, BOOL last = FALSE)
{
    ActivityRecord record = {};
    record.contactOid = contact;
    CopyText(record.fileAs, fileAs);
    CopyText(record.event, L"Call");
    record.date = date;
    record.nextDate = date;
    record.lastFlag = last;
    return WriteActivityRecordDB(activityDatabase, NEW_ACTIVITY_RECORD, record);
}
