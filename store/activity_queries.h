// Arrays of activity object ids for the views, and the text of an activity
// column.
#pragma once
#include "platform/cedb/windbase.h"
#include "store/activity_record.h"
#include "store/activity_text.h"

#include <cstddef>
#include <unordered_map>
#include <unordered_set>
#include <functional>
#include <memory>
#include <vector>

// Fills *oids (a malloc'd array, null when empty) with the activities of one
// contact, or of all contacts for contactOid 0, in contact-id order. With
// applyFind 1 the find bar's activity search narrows the list.
void getActivityOIDList(CEOID** oids, CEOID contactOid, int* count, int applyFind);

// Fills *latest (a malloc'd array, null when contactCount is 0) with one
// entry per contact of `contacts`, in the same order: the object id of that
// contact's flagged latest activity, or 0.
void getLastActivityOIDList(CEOID** latest, const CEOID* contacts, int contactCount);
// The same, handing each listed contact's latest record to visit(row, record)
// as it is read, so a sort by it needs no second read.
void getLastActivityOIDList(CEOID** latest, const CEOID* contacts, int contactCount,
                            const std::function<void(int, const ActivityRecord&)>& visit);

// Gives the last flag to the contact's activity with the latest Next Date and
// takes it from any other.
void UpdateLastActivityFlag(HANDLE database, CEOID contactOid);

// The same choice for callers that have read a contact's activities already:
// offered in the order getActivityOIDList lists them (any pass over the
// contact-ordered listing keeps that order), then applied.
struct LastFlagChooser {
    CEOID latest = 0, flagged = 0;
    double latestNextDate = 0.0;
    void Offer(CEOID oid, double nextDate, BOOL lastFlag);
    void Apply(HANDLE database) const;
};

// Bulk reading, contact after contact (export): a handle on
// "ActivityDatabase" in contact order, null when it cannot be opened (which
// is reported); the caller closes it.
HANDLE OpenActivitiesByContactDB();
// Reads each activity of the contact once, in the order of its unfiltered
// activity list, without a seek per record: visit gets each record read
// (cleared before each read). Records that cannot be read are reported by
// the record layer and counted in *unread. Returns the number of records
// read.
int ReadContactActivitiesDB(HANDLE byContact, CEOID contactOid, const std::function<void(const ActivityRecord&)>& visit,
                            int* unread);

// A pass over the activities in contact order, the order getActivityOIDList
// lists them, reading each record once: one service call a record where a
// listing and a seek per record take three. Records may be deleted or
// rewritten through any handle meanwhile; the scan goes on after the last
// record it read, so a record rewritten to a greater contact is met again.
class ActivityScan {
public:
    // Opens its own handle; one that cannot be opened is reported and gives
    // an empty scan.
    ActivityScan();
    ~ActivityScan();
    ActivityScan(const ActivityScan&) = delete;
    ActivityScan& operator=(const ActivityScan&) = delete;

    // The records there were when the scan was opened.
    int Count() const { return count; }
    // Records read or passed over so far.
    int Passed() const { return passed; }
    // Moves to the contact's first activity; false when it has none.
    bool StartAt(CEOID contactOid);
    // Reads the next record's contact, dates, last flag and FileAs into
    // *record (its other fields keep their values) and returns its object
    // id, 0 at the end. A record that cannot be read is reported and passed
    // over.
    CEOID NextKeys(ActivityRecord* record);
    // Deletes a record the scan has read, without seeking it again. The
    // deletions are made in batches, all of them by the time NextKeys
    // returns 0 or the scan goes: after each change the scan has to find its
    // place again.
    void Delete(CEOID oid);

private:
    void DeleteBatch();
    std::vector<CEOID> doomed;
    HANDLE database = nullptr;
    int count = 0;
    int passed = 0;
    LPBYTE buffer = nullptr;
    DWORD size = 0;
};

int ContactHasLastActivity(HANDLE database, CEOID contactOid, ActivityRecord* record);

// The flagged latest activity of every contact, by contact: for work that
// visits many contacts, where a query per contact would read each contact's
// activities again. It points into the kept walk of the flagged records.
struct LatestActivities {
    std::unordered_map<CEOID, const ActivityRecord*> byContact;
    std::unordered_set<CEOID> ambiguous;   // contacts with two flagged (a damaged database)
};
// Made once per kept walk, which the pointer keeps alive; empty when the
// database cannot be opened.
std::shared_ptr<const LatestActivities> LoadLatestActivities();
// The record ContactHasLastActivity finds for the contact, null for none;
// scratch holds it when it has to be read from the database.
const ActivityRecord* LatestActivityOf(const LatestActivities& latest, CEOID contactOid, ActivityRecord* scratch);
void DeleteContactActivities(CEOID contactOid);

