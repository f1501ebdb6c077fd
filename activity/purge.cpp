#include "activity/purge.h"

#include "base/app_handles.h"
#include "base/progress_window.h"
#include "base/wait_cursor.h"
#include "contacts/contact_fields.h"
#include "contacts/contact_source.h"
#include "store/activity_database.h"
#include "store/activity_queries.h"
#include "store/database.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int STEP_TEXT_CAPACITY = 64;

// An id array the lists fill, freed when it goes.
struct OidList {
    CEOID* items = nullptr;
    int count = 0;
    ~OidList() { std::free(items); }
};

// The operation's changes are flushed once, at its end.
struct BulkChange {
    BulkChange() { BeginBulkChange(); }
    ~BulkChange() { EndBulkChange(); }
};

// Whether contacts exist, asked of the contact source once per contact.
class ContactPresence {
public:
    bool Exists(CEOID contact)
    {
        auto known = answers.find(contact);
        if (known != answers.end())
            return known->second;
        const bool exists = ContactExists(contact) != 0;
        answers.emplace(contact, exists);
        return exists;
    }

private:
    std::map<CEOID, bool> answers;
};

// Shows the progress window for the operation's length; closed when it goes.
class Progress {
public:
    Progress(const wchar_t* mainLabel, const wchar_t* subLabel, int low, int high)
        : window(CreateProgressWindow(hMainWindow))
    {
        SetProgressTexts(window, mainLabel, subLabel, low, high);
    }
    ~Progress() { DestroyProgressWindow(window); }
    void Step(const wchar_t* text, int position) { StepProgress(window, text, position); }
    // The window is repainted only when what it shows changes: a step per
    // record would cost more than the records themselves.
    void Percent(int done, int total)
    {
        const int percent = done * 100 / total;
        if (percent == shownPercent)
            return;
        shownPercent = percent;
        wchar_t text[STEP_TEXT_CAPACITY];
        std::swprintf(text, STEP_TEXT_CAPACITY, L"Processing %d %% complete...", percent);
        Step(text, done + 1);
    }
    void Processed(int done, int total, int position)
    {
        const int stride = total / 200 > 1 ? total / 200 : 1;
        if (done != total && done % stride != 0)
            return;
        wchar_t text[STEP_TEXT_CAPACITY];
        std::swprintf(text, STEP_TEXT_CAPACITY, L"Processed %d of %d", done, total);
        Step(text, position);
    }

private:
    HWND window;
    int shownPercent = -1;
};

// Deletes the contact's activities dated on the threshold's day or before
// and returns how many went; a record that cannot be read is reported by the
// read and kept.
int DeleteContactActivitiesBefore(CEOID contact, double threshold, bool showProgress)
{
    OidList activities;
    SetWaitCursor(true);
    getActivityOIDList(&activities.items, contact, &activities.count, 0);
    SetWaitCursor(false);
    if (activities.count == 0)
        return 0;
    std::unique_ptr<Progress> progress;
    if (showProgress)
        progress.reset(new Progress(L"Purging Activity Records", L"Processing 0 % complete", 0, activities.count));
    const double lastDay = std::trunc(threshold);
    int deleted = 0;
    for (int i = 0; i < activities.count; ++i) {
        if (progress)
            progress->Percent(i, activities.count);
        ActivityRecord record = {};
        if (ReadActivityRecordDB(activityDatabase, activities.items[i], &record) &&
            std::trunc(record.date) <= lastDay) {
            DeleteRecordDB(activityDatabase, activities.items[i]);
            ++deleted;
        }
    }
    return deleted;
}

} // namespace

void PurgeActivities(CEOID contact, double threshold)
{
    BulkChange bulk;
    if (contact != 0) {
        if (threshold == 0.0) {
            Progress progress(L"Purging Activity Records", L"Please wait...", 1, 2);
            DeleteContactActivities(contact);
        } else if (DeleteContactActivitiesBefore(contact, threshold, true) > 0) {
            UpdateLastActivityFlag(activityDatabase, contact);
        }
        return;
    }
    OidList contacts;
    SetWaitCursor(true);
    ListContactOids(&contacts.items, &contacts.count, 0, SORT_BY_NAME, 1);
    SetWaitCursor(false);
    if (contacts.count == 0)
        return;
    if (threshold == 0.0) {
        Progress progress(L"Purging Activity Records", L"Processing 0 % complete...", 0, contacts.count);
        for (int i = 0; i < contacts.count; ++i) {
            progress.Percent(i, contacts.count);
            DeleteContactActivities(contacts.items[i]);
        }
        return;
    }
    // By date: one pass over every activity, keeping those of contacts
    // outside the profile (and orphans), instead of one listing per contact.
    const std::set<CEOID> profile(contacts.items, contacts.items + contacts.count);
    OidList activities;
    getActivityOIDList(&activities.items, 0, &activities.count, 0);
    Progress progress(L"Purging Activity Records", L"Processing 0 % complete...", 0, activities.count);
    const double lastDay = std::trunc(threshold);
    // What remains of each contact that lost an activity decides its new
    // latest: the pass lists a contact's activities in their usual order.
    std::map<CEOID, LastFlagChooser> remaining;
    std::set<CEOID> losers;
    for (int i = 0; i < activities.count; ++i) {
        progress.Percent(i, activities.count);
        ActivityRecord record = {};
        if (!ReadActivityKeysDB(activityDatabase, activities.items[i], &record) || !profile.count(record.contactOid))
            continue;
        if (std::trunc(record.date) > lastDay) {
            remaining[record.contactOid].Offer(activities.items[i], record.nextDate, record.lastFlag);
            continue;
        }
        DeleteRecordDB(activityDatabase, activities.items[i]);
        losers.insert(record.contactOid);
    }
    // A purge may take a contact's latest activity: the lists' last columns
    // must show the one that remains.
    for (CEOID contact : losers)
        remaining[contact].Apply(activityDatabase);
}

int RemoveOrphanRecords(const CEOID* activities, int count)
{
    BulkChange bulk;
    ContactPresence contacts;
    Progress progress(L"Processing Activity Records", L"Remove Orphans", 0, count);
    int removed = 0;
    for (int i = 0; i < count; ++i) {
        ActivityRecord record = {};
        if (ReadActivityKeysDB(activityDatabase, activities[i], &record) &&
            !contacts.Exists(record.contactOid)) {
            DeleteRecordDB(activityDatabase, activities[i]);
            ++removed;
        }
        progress.Processed(i + 1, count, i);
    }
    return removed;
}

int RemoveOrphans()
{
    if (CountActivityRecordsDB(L"ActivityDatabase") == 0)
        return 0;
    OidList activities;
    getActivityOIDList(&activities.items, 0, &activities.count, 0);
    return RemoveOrphanRecords(activities.items, activities.count);
}

int LinkOrphans()
{
    OidList contacts, activities;
    ListContactOids(&contacts.items, &contacts.count, 0, SORT_BY_NAME, 0);
    if (contacts.count == 0)
        return 0;
    getActivityOIDList(&activities.items, 0, &activities.count, 0);
    if (activities.count == 0)
        return 0;
    // Each contact's FileAs read once, as the comparison sees it (39 characters).
    std::vector<std::wstring> names(static_cast<size_t>(contacts.count));
    for (int c = 0; c < contacts.count; ++c) {
        wchar_t name[LABEL_CAPACITY];
        GetContactName(contacts.items[c], name, LABEL_CAPACITY);
        names[static_cast<size_t>(c)] = name;
    }
    BulkChange bulk;
    // Every contact is listed already: an orphan is one whose contact is not.
    const std::set<CEOID> listed(contacts.items, contacts.items + contacts.count);
    Progress progress(L"Processing Activity Records", L"Linking Orphans", 0, activities.count);
    std::set<CEOID> gainers;
    int linked = 0;
    for (int i = 0; i < activities.count; ++i) {
        ActivityRecord record = {};
        // The whole record is read only for an orphan, which may move.
        if (ReadActivityKeysDB(activityDatabase, activities.items[i], &record) &&
            !listed.count(record.contactOid) && ReadActivityRecordDB(activityDatabase, activities.items[i], &record)) {
            for (int c = 0; c < contacts.count; ++c) {
                if (names[static_cast<size_t>(c)] != record.fileAs)
                    continue;
                record.contactOid = contacts.items[c];
                // Its old contact's mark means nothing to the new one.
                record.lastFlag = FALSE;
                if (WriteActivityRecordDB(activityDatabase, activities.items[i], record)) {
                    gainers.insert(contacts.items[c]);
                    ++linked;
                }
                break;
            }
        }
        progress.Processed(i + 1, activities.count, i + 1);
    }
    for (CEOID contact : gainers)
        UpdateLastActivityFlag(activityDatabase, contact);
    return linked;
}
