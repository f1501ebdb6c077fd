// What the activity database holds, read as the program lists it.
#pragma once
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
