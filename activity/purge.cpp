#include "activity/purge.h"

#include "base/app_handles.h"
#include "base/message_box.h"
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
#include <utility>
#include <vector>

namespace {

constexpr int STEP_TEXT_CAPACITY = 64;
// A repaint of the progress window takes a dozen server round trips under
// Wine, as long as a few thousand records: at most one this often.
constexpr DWORD REPAINT_INTERVAL_MS = 100;

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

// Calls visit(oid, record, wanted) for each activity the scan reads, with
// wanted from wants(contact): asked once a contact, as the scan meets a
// contact's activities together.
template <class Wants, class Visit>
void VisitByContact(ActivityScan* scan, Wants wants, Visit visit)
{
    bool started = false, wanted = false;
    CEOID contact = 0;
    for (;;) {
        ActivityRecord record = {};
        const CEOID oid = scan->NextKeys(&record);
        if (oid == 0)
            return;
        if (!started || record.contactOid != contact) {
            started = true;
            contact = record.contactOid;
            wanted = wants(contact);
        }
        visit(oid, record, wanted);
    }
}

// The first contact of a list in FileAs order whose FileAs equals a name
// (letter case counts). Each FileAs is read once, as the comparison sees it
// (39 characters), and only as far down the list as a name is looked for.
class HeirByName {
public:
    HeirByName(const CEOID* contacts, int count) : contacts(contacts), count(count) {}
    CEOID Find(const wchar_t* name)
    {
        const auto known = firsts.find(name);
        if (known != firsts.end())
            return known->second;
        while (read < count) {
            wchar_t fileAs[LABEL_CAPACITY];
            GetContactName(contacts[read], fileAs, LABEL_CAPACITY);
            const CEOID contact = contacts[read++];
            if (firsts.emplace(fileAs, contact).second && std::wcscmp(fileAs, name) == 0)
                return contact;
        }
        return 0;
    }

private:
    const CEOID* contacts;
    int count;
    int read = 0;
    std::map<std::wstring, CEOID> firsts;
};

// Shows the progress window for the operation's length; closed when it goes.
class Progress {
public:
    Progress(const wchar_t* mainLabel, const wchar_t* subLabel, int low, int high)
        : window(CreateProgressWindow(hMainWindow)), shownAt(GetTickCount())
    {
        SetProgressTexts(window, mainLabel, subLabel, low, high);
    }
    ~Progress() { DestroyProgressWindow(window); }
    void Step(const wchar_t* text, int position)
    {
        StepProgress(window, text, position);
        shownAt = GetTickCount();
    }
    // The window is repainted only when what it shows changes, and not more
    // often than the eye can follow: a step per record would cost more than
    // the records themselves.
    void Percent(int done, int total)
    {
        if (total <= 0)
            return;
        const int percent = done * 100 / total;
        if (percent == shownPercent || !Due())
            return;
        shownPercent = percent;
        wchar_t text[STEP_TEXT_CAPACITY];
        std::swprintf(text, STEP_TEXT_CAPACITY, L"Processing %d %% complete...", percent);
        Step(text, done + 1);
    }
    void Processed(int done, int total, int position)
    {
        const int stride = total / 200 > 1 ? total / 200 : 1;
        if (done != total && (done % stride != 0 || !Due()))
            return;
        wchar_t text[STEP_TEXT_CAPACITY];
        std::swprintf(text, STEP_TEXT_CAPACITY, L"Processed %d of %d", done, total);
        Step(text, position);
    }

private:
    bool Due() const { return GetTickCount() - shownAt >= REPAINT_INTERVAL_MS; }

    HWND window;
    DWORD shownAt;
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
    ActivityScan scan;
    const int total = scan.Count();
    Progress progress(L"Purging Activity Records", L"Processing 0 % complete...", 0, total);
    const double lastDay = std::trunc(threshold);
    // What remains of a contact that lost an activity decides its new
    // latest, offered in the order the scan meets them, the usual one.
    LastFlagChooser remaining;
    bool lost = false;
    std::vector<LastFlagChooser> losers;
    auto endContact = [&] {
        if (lost)
            losers.push_back(remaining);
        remaining = LastFlagChooser();
        lost = false;
    };
    VisitByContact(
        &scan,
        [&](CEOID contact) {
            endContact();
            return profile.count(contact) != 0;
        },
        [&](CEOID oid, const ActivityRecord& record, bool inProfile) {
            progress.Percent(scan.Passed() - 1, total);
            if (!inProfile)
                return;
            if (std::trunc(record.date) > lastDay) {
                remaining.Offer(oid, record.nextDate, record.lastFlag);
                return;
            }
            scan.Delete(oid);
            lost = true;
        });
    endContact();
    // A purge may take a contact's latest activity: the lists' last columns
    // must show the one that remains.
    for (const LastFlagChooser& chooser : losers)
        chooser.Apply(activityDatabase);
}

// Whether the contacts can be asked at all; when not, every activity would
// look orphaned, so the caller must delete nothing.
static bool ContactsReadable()
{
    if (outlookLoggedOn && contactsFolder)
        return true;
    AppMessageBox(nullptr,
                  L"The contacts cannot be read now, so no activity record can be told to be an orphan. "
                  L"Nothing was removed.",
                  L"Error", APP_MB_WARNING);
    return false;
}

int RemoveOrphans()
{
    if (!ContactsReadable())
        return -1;
    BulkChange bulk;
    ActivityScan scan;
    const int total = scan.Count();
    if (total == 0)
        return 0;
    Progress progress(L"Processing Activity Records", L"Remove Orphans", 0, total);
    int removed = 0;
    VisitByContact(
        &scan, [](CEOID contact) { return ContactExists(contact) == 0; },
        [&](CEOID oid, const ActivityRecord&, bool orphan) {
            if (orphan) {
                scan.Delete(oid);
                ++removed;
            }
            progress.Processed(scan.Passed(), total, scan.Passed() - 1);
        });
    return removed;
}

int LinkOrphans()
{
    OidList contacts;
    ListContactOids(&contacts.items, &contacts.count, 0, SORT_BY_NAME, 0);
    if (contacts.count == 0)
        return 0;
    ActivityScan scan;
    const int total = scan.Count();
    if (total == 0)
        return 0;
    HeirByName heirs(contacts.items, contacts.count);
    BulkChange bulk;
    // A contact the listing could not fetch is missing from it too: only the
    // contact source can tell that one that is gone.
    const std::set<CEOID> listed(contacts.items, contacts.items + contacts.count);
    Progress progress(L"Processing Activity Records", L"Linking Orphans", 0, total);
    // A move changes the activity's place in contact order, ahead of the
    // scan or behind it: the moves wait until the scan is over.
    std::vector<std::pair<CEOID, CEOID>> moves;   // activity, new contact
    VisitByContact(
        &scan, [&](CEOID contact) { return listed.count(contact) == 0 && ContactExists(contact) == 0; },
        [&](CEOID oid, const ActivityRecord& record, bool orphan) {
            const CEOID heir = orphan ? heirs.Find(record.fileAs) : 0;
            if (heir)
                moves.emplace_back(oid, heir);
            progress.Processed(scan.Passed(), total, scan.Passed());
        });
    std::set<CEOID> gainers;
    int linked = 0;
    for (const auto& move : moves) {
        // Its old contact's mark means nothing to the new one.
        if (WriteActivityContactDB(activityDatabase, move.first, move.second, FALSE)) {
            gainers.insert(move.second);
            ++linked;
        }
    }
    for (CEOID contact : gainers)
        UpdateLastActivityFlag(activityDatabase, contact);
    return linked;
}
