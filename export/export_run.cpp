#include "export/export_run.h"

#include "base/message_box.h"
#include "base/short_date.h"
#include "base/text.h"
#include "contacts/contact_fields.h"
#include "store/activity_database.h"
#include "store/activity_queries.h"
#include "store/activity_text.h"

#include <cstdlib>
#include <cstring>

long exportContactFetches;
long exportActivityReads;

void ExportActivityValue(const ActivityRecord& record, int field, wchar_t* buffer, size_t capacity)
{
    if (!buffer || capacity == 0)
        return;
    buffer[0] = L'\0';
    if (IsDateColumn(field)) {
        const double date = field == ACTIVITY_COLUMN_DATE ? record.date : record.nextDate;
        if (date != 0.0)
            FormatShortDate(date, buffer, capacity);
        return;
    }
    const wchar_t* text = ActivityFieldText(record, field);
    if (!text)
        return;
    // The record's buffers are terminated by the record layer; the copy
    // bounds the text all the same.
    CopyText(buffer, capacity, text);
    if (field == ACTIVITY_COLUMN_NOTES)
        for (wchar_t* c = buffer; *c; ++c)
            if (*c == L'\r' || *c == L'\n')
                *c = L' ';
}

int ForEachExportedActivity(const ExportChoice& choice, ExportSink* sink)
{
    int missing = 0;
    if (!choice.contactOids || !choice.contacts)
        return 0;
    // Large records, reused from contact to contact and cleared before each
    // use, so nothing of one contact or activity shows up with another.
    static ContactRecord contact;
    static ActivityRecord activity;
    CEOID* activities = nullptr;
    for (int k = 1; k <= choice.contactCount && !sink->Stopped(); ++k) {
        const CEOID oid = choice.contactOids[choice.contacts[k - 1]];
        std::memset(&contact, 0, sizeof contact);
        GetContactRecord(oid, &contact);
        ++exportContactFetches;
        sink->Contact(k, contact);

        int count = 0;
        getActivityOIDList(&activities, oid, &count, 0);
        for (int i = 0; i < count && !sink->Stopped(); ++i) {
            std::memset(&activity, 0, sizeof activity);
            ++exportActivityReads;
            if (!ReadActivityRecordDB(activityDatabase, activities[i], &activity)) {
                ++missing;
                continue;
            }
            sink->Activity(contact, activity);
        }
        sink->ContactDone(k);
    }
    std::free(activities);
    return missing;
}

void ReportExportDone(HWND owner, const wchar_t* format, const std::wstring& path, int missingActivities)
{
    // The box cuts a text longer than it shows, so the file's name goes first.
    if (missingActivities == 0) {
        const std::wstring text = std::wstring(L"Finished exporting data to ") + format + L" file '" + path + L"'";
        AppMessageBox(owner, text.c_str(), L"Export - Complete", 0);
        return;
    }
    const std::wstring text = std::wstring(L"Exported data to ") + format + L" file '" + path + L"', but " +
                              std::to_wstring(missingActivities) + L" activities could not be read";
    AppMessageBox(owner, text.c_str(), L"Warning", APP_MB_WARNING);
}
