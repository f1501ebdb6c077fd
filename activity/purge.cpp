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
    void Percent(int done, int total)
    {
        wchar_t text[STEP_TEXT_CAPACITY];
        std::swprintf(text, STEP_TEXT_CAPACITY, L"Processing %d %% complete...", done * 100 / total);
        Step(text, done + 1);
    }
    void Processed(int done, int total, int position)
    {
        wchar_t text[STEP_TEXT_CAPACITY];
        std::swprintf(text, STEP_TEXT_CAPACITY, L"Processed %d of %d", done, total);
        Step(text, position);
    }

private:
    HWND window;
};

// The contact's activities dated on the threshold's day or before; a record
// that cannot be read is reported by the read and kept.
void DeleteContactActivitiesBefore(CEOID contact, double threshold, bool showProgress)
{
    OidList activities;
    SetWaitCursor(true);
    getActivityOIDList(&activities.items, contact, &activities.count, 0);
    SetWaitCursor(false);
    if (activities.count == 0)
        return;
    std::unique_ptr<Progress> progress;
    if (showProgress)
        progress.reset(new Progress(L"Purging Activity Records", L"Processing 0 % complete", 0, activities.count));
    const double lastDay = std::trunc(threshold);
    for (int i = 0; i < activities.count; ++i) {
        if (progress)
            progress->Percent(i, activities.count);
        ActivityRecord record = {};
        if (ReadActivityRecordDB(activityDatabase, activities.items[i], &record) &&
            std::trunc(record.date) <= lastDay)
            DeleteRecordDB(activityDatabase, activities.items[i]);
    }
}

} // namespace

void PurgeActivities(CEOID contact, double threshold)
{
    if (contact != 0) {
        if (threshold == 0.0) {
            Progress progress(L"Purging Activity Records", L"Please wait...", 1, 2);
            DeleteContactActivities(contact);
        } else {
            DeleteContactActivitiesBefore(contact, threshold, true);
        }
        UpdateLastActivityFlag(activityDatabase, contact);
        return;
    }
    OidList contacts;
    SetWaitCursor(true);
    ListContactOids(&contacts.items, &contacts.count, 0, SORT_BY_NAME, 1);
    SetWaitCursor(false);
    if (contacts.count == 0)
        return;
    Progress progress(L"Purging Activity Records", L"Processing 0 % complete...", 0, contacts.count);
    for (int i = 0; i < contacts.count; ++i) {
        progress.Percent(i, contacts.count);
        if (threshold == 0.0)
            DeleteContactActivities(contacts.items[i]);
        else
            DeleteContactActivitiesBefore(contacts.items[i], threshold, false);
        // A purge may take a contact's latest activity: the lists' last
        // columns must show the one that remains.
        UpdateLastActivityFlag(activityDatabase, contacts.items[i]);
    }
}

int RemoveOrphanRecords(const CEOID* activities, int count)
{
    Progress progress(L"Processing Activity Records", L"Remove Orphans", 0, count);
    int removed = 0;
    for (int i = 0; i < count; ++i) {
        ActivityRecord record = {};
        if (ReadActivityRecordDB(activityDatabase, activities[i], &record) && !ContactExists(record.contactOid)) {
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
    Progress progress(L"Processing Activity Records", L"Linking Orphans", 0, activities.count);
    std::set<CEOID> gainers;
    int linked = 0;
    for (int i = 0; i < activities.count; ++i) {
        ActivityRecord record = {};
        if (ReadActivityRecordDB(activityDatabase, activities.items[i], &record) &&
            !ContactExists(record.contactOid)) {
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
