// What the two export writers share: the choice the export dialog hands
// them, the one pass over the chosen contacts and their activities, the
// activity values they write, and the closing message.
#pragma once
#include <windows.h>

#include "contacts/field_catalogue.h"
#include "export/export_file.h"
#include "platform/cedb/windbase.h"
#include "store/activity_record.h"

#include <functional>
#include <string>

// The export dialog's choice: the positions of the chosen fields and
// contacts, each list in ascending order.
struct ExportChoice {
    const CEOID* contactOids;   // the dialog's contact list, by position
    int activityFieldCount;
    int contactFieldCount;
    int contactCount;
    const int* activityFields;  // activity field indices
    const int* contactFields;   // contact field indices
    const int* contacts;        // positions in contactOids
};

// Holds the text of any activity field.
constexpr int EXPORT_VALUE_CAPACITY = NOTES_CAPACITY;

// The text an export writes for an activity field: the short date (empty for
// no date) of the two dates, the stored text of the others, the notes with
// their line breaks as blanks. Empty for a field outside 0..7.
void ExportActivityValue(const ActivityRecord& record, int field, wchar_t* buffer, size_t capacity);

// What a writer does with the pass over the chosen contacts.
struct ExportSteps {
    // Contact `number` (1 .. contactCount) with its values, before its
    // activities.
    std::function<void(int number, const ContactRecord& contact)> contact;
    std::function<void(const ContactRecord& contact, const ActivityRecord& activity)> activity;
    // After the contact's last activity; may be empty.
    std::function<void(int number)> contactDone;
    // True to stop early (the file could not be written); may be empty.
    std::function<bool()> stopped;
};

// Fetches each chosen contact once, in the dialog's order, and reads each of
// its activities once, in the order of its unfiltered activity list. Only
// the chosen contact fields are filled in; a contact that cannot be fetched
// gives empty values. An activity record that cannot be read (the record
// layer has said so) is left out. Returns how many were left out, or -1 when
// the activities could not be opened at all (also reported).
int ForEachExportedActivity(const ExportChoice& choice, const ExportSteps& steps);

// Whether the progress window should show step `number` of `total` now: the
// first, the last and then about ten a second, since each costs a repaint.
bool ProgressStepDue(int number, int total);

// The frame of an export to the documents folder's file `name`: the file is
// opened (its failure reported), the progress window shown with the labels
// and a range of one step a contact, `write` fills the file and returns what
// ForEachExportedActivity returned, and the file then replaces the earlier
// one, or not, with the outcome told to the user. The focus comes back to
// where it was.
void RunExportToFile(const wchar_t* name, const wchar_t* format, const wchar_t* mainLabel, const wchar_t* subLabel,
                     int contactCount, const std::function<int(ExportFile* file, HWND progress)>& write);

// Tells the user where the export went ("Export - Complete"), or, when
// activities had to be left out, how many.
void ReportExportDone(HWND owner, const wchar_t* format, const std::wstring& path, int missingActivities);
