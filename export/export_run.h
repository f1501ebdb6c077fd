// What the two export writers share: the choice the export dialog hands
// them, the one pass over the chosen contacts and their activities, the
// activity values they write, and the closing message.
#pragma once
#include <windows.h>

#include "contacts/field_catalogue.h"
#include "platform/cedb/windbase.h"
#include "store/activity_record.h"

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

// Contacts fetched and activity records read by exports since the program
// started; the benchmark checks that an export needs each only once.
extern long exportContactFetches;
extern long exportActivityReads;

// Holds the text of any activity field.
constexpr int EXPORT_VALUE_CAPACITY = NOTES_CAPACITY;

// The text an export writes for an activity field: the short date (empty for
// no date) of the two dates, the stored text of the others, the notes with
// their line breaks as blanks. Empty for a field outside 0..7.
void ExportActivityValue(const ActivityRecord& record, int field, wchar_t* buffer, size_t capacity);

// Callbacks of ForEachExportedActivity.
class ExportSink {
public:
    virtual ~ExportSink() = default;
    // Contact `number` (1 .. contactCount) has been fetched.
    virtual void Contact(int number, const ContactRecord& contact) = 0;
    virtual void Activity(const ContactRecord& contact, const ActivityRecord& activity) = 0;
    // The contact's activities are all written.
    virtual void ContactDone(int) {}
    // True to stop early (the file could not be written).
    virtual bool Stopped() const { return false; }
};

// Fetches each chosen contact once, in the dialog's order, and reads each of
// its activities once, in the order of its unfiltered activity list. A
// contact that cannot be fetched gives empty values; an activity record that
// cannot be read (the record layer has said so) is left out and counted.
// Returns how many activities were left out.
int ForEachExportedActivity(const ExportChoice& choice, ExportSink* sink);

// Tells the user where the export went ("Export - Complete"), or, when
// activities had to be left out, how many.
void ReportExportDone(HWND owner, const wchar_t* format, const std::wstring& path, int missingActivities);
