#include "export/export_run.h"
#include "export/export_diagnostics.h"

#include "base/app_handles.h"
#include "base/message_box.h"
#include "base/progress_window.h"
#include "base/short_date.h"
#include "base/text.h"
#include "contacts/contact_fields.h"
#include "store/activity_database.h"
#include "store/activity_queries.h"
#include "store/activity_text.h"

#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <vector>

long exportContactFetches;
long exportActivityReads;

namespace {

constexpr DWORD PROGRESS_INTERVAL_MS = 100;

// Short dates by day: formatting one costs far more than looking it up, and
// activities share their days. Cleared at each export, so a changed locale
// shows in the next one.
std::unordered_map<long long, std::wstring> shortDates;
DWORD lastProgressStep;

void FormatExportDate(double date, wchar_t* buffer, size_t capacity)
{
    // The whole part, cut towards zero, names the day on both sides of
    // 1899-12-30; the time of day does not show in a short date.
    const long long day = static_cast<long long>(date);
    const auto known = shortDates.find(day);
    if (known != shortDates.end()) {
        CopyText(buffer, capacity, known->second.c_str());
        return;
    }
    FormatShortDate(date, buffer, capacity);
    shortDates.emplace(day, buffer);
}

}  // namespace

void ExportActivityValue(const ActivityRecord& record, int field, wchar_t* buffer, size_t capacity)
{
    if (!buffer || capacity == 0)
        return;
    buffer[0] = L'\0';
    if (IsDateColumn(field)) {
        const double date = field == ACTIVITY_COLUMN_DATE ? record.date : record.nextDate;
        if (date != 0.0)
            FormatExportDate(date, buffer, capacity);
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

bool ProgressStepDue(int number, int total)
{
    const DWORD now = GetTickCount();
    if (number <= 1 || number >= total || now - lastProgressStep >= PROGRESS_INTERVAL_MS) {
        lastProgressStep = now;
        return true;
    }
    return false;
}

int ForEachExportedActivity(const ExportChoice& choice, const ExportSteps& steps)
{
    const int count = choice.contactOids && choice.contacts ? choice.contactCount : 0;
    shortDates.clear();
    HANDLE activities = OpenActivitiesByContactDB();
    if (!activities)
        return -1;
    std::vector<CEOID> oids(static_cast<size_t>(count > 0 ? count : 0));
    for (int k = 0; k < count; ++k)
        oids[static_cast<size_t>(k)] = choice.contactOids[choice.contacts[k]];
    const int fieldCount = choice.contactFields ? choice.contactFieldCount : 0;
    int fetched = 0;
    const std::vector<std::wstring> texts =
        GetContactFieldTexts(oids.data(), count, choice.contactFields, fieldCount, &fetched);
    exportContactFetches += fetched;

    // Large, so kept for the whole program; cleared for each contact.
    static ContactRecord contact;
    int unread = 0;
    for (int k = 1; k <= count && !(steps.stopped && steps.stopped()); ++k) {
        std::memset(&contact, 0, sizeof contact);
        for (int j = 0; j < fieldCount && !texts.empty(); ++j) {
            const int field = choice.contactFields[j];
            if (field >= 0 && field < CONTACT_FIELD_COUNT)
                CopyText(contact.field[field],
                         texts[static_cast<size_t>(k - 1) * static_cast<size_t>(fieldCount) + static_cast<size_t>(j)]
                             .c_str());
        }
        steps.contact(k, contact);
        exportActivityReads += ReadContactActivitiesDB(
            activities, oids[static_cast<size_t>(k - 1)],
            [&](const ActivityRecord& activity) {
                if (!(steps.stopped && steps.stopped()))
                    steps.activity(contact, activity);
            },
            &unread);
        if (steps.contactDone)
            steps.contactDone(k);
    }
    CloseHandle(activities);
    return unread;
}

void RunExportToFile(const wchar_t* name, const wchar_t* format, const wchar_t* mainLabel, const wchar_t* subLabel,
                     int contactCount, const std::function<int(ExportFile* file, HWND progress)>& write)
{
    HWND focus = GetFocus();
    ExportFile file;
    if (!OpenExportFile(&file, ExportPath(name))) {
        ReportExportFailure(hMainWindow, file);
        SetFocus(focus);
        return;
    }
    HWND progress = CreateProgressWindow(hMainWindow);
    // One step a contact: the bar is full when the last one is written.
    SetProgressTexts(progress, mainLabel, subLabel, 0, contactCount);
    const int missing = write(&file, progress);
    bool written = false;
    if (missing >= 0)
        written = CommitExportFile(&file);
    else
        DiscardExportFile(&file);
    DestroyProgressWindow(progress);
    // A store that could not be opened has been reported already.
    if (written)
        ReportExportDone(hMainWindow, format, file.path, missing);
    else if (missing >= 0)
        ReportExportFailure(hMainWindow, file);
    SetFocus(focus);
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
