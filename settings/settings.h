// The settings store: every user preference, one process-wide variable per
// registry value (the variable carries the value's name). LoadSettings fills
// them once at start-up; from then on the variables are the truth and each
// change is written back at once, value by value, by whoever makes it.
#pragma once
#include <windows.h>

#include <cstddef>

// ---- Access to the settings key ------------------------------------------

// Where the key lives; see registry_values.cpp for why the desktop uses the
// per-user classes branch.
extern const HKEY SETTINGS_ROOT;
extern const wchar_t SETTINGS_SUBKEY[];

// Every string value is written as a slot of this many bytes: the text, its
// terminator and zeros behind it. A string setting holds at most 127 characters.
constexpr DWORD SETTINGS_STRING_BYTES = 256;
constexpr size_t SETTINGS_STRING_CHARS = SETTINGS_STRING_BYTES / sizeof(wchar_t);

// Creates the key when it is missing. Nothing else is written.
void CreateSettingsKey();

// Each returns 0 on success and 1 on failure. A read that fails leaves the
// destination as it was, so callers preset it with the default. Values of a
// type or length the writers never produce count as unreadable.
int RegReadString(const wchar_t* name, wchar_t* destination, size_t capacity);
template <size_t N>
int RegReadString(const wchar_t* name, wchar_t (&destination)[N])
{
    return RegReadString(name, destination, N);
}
int RegWriteString(const wchar_t* name, const wchar_t* text);
int RegReadDword(const wchar_t* name, int* value);
int RegReadDword(const wchar_t* name, DWORD* value);
int RegWriteDword(const wchar_t* name, DWORD value);

// Sets every setting to its default, then overwrites it from the registry
// where a sound value is stored. The allocated arrays are resized here.
void LoadSettings();

// The four allocated arrays: one entry each until LoadSettings resizes them.
// Returns false when an allocation failed (the others are still made).
bool AllocateSettingArrays();
void FreeSettingArrays();

// ---- Capacities ------------------------------------------------------------

constexpr int CONTACT_COLUMN_SLOTS = 21;        // contactfield%d
constexpr int LAST_ACTIVITY_COLUMN_SLOTS = 8;   // lastactivityfield%d
constexpr int ACTIVITY_COLUMN_SLOTS = 8;        // activityfield%d
constexpr int LV1_WIDTH_SLOTS = 29;             // lv1colwidth%d
constexpr int LV2_WIDTH_SLOTS = 8;              // lv2colwidth%d

// A stored width outside this range is not one a list view reported.
constexpr int MAX_COLUMN_WIDTH = 4096;
// remindindex chooses among "NONE" and thirteen intervals.
constexpr int REMINDER_CHOICES = 14;
// Font sizes the Other page offers.
constexpr int MIN_FONT_SIZE = 10;
constexpr int MAX_FONT_SIZE = 16;

// ---- Scalars of the first table --------------------------------------------

// The sort property of the activity database: the next date by default;
// start-up replaces a value the database cannot be opened by.
constexpr DWORD DEFAULT_ACTIVITY_SORT_FIELD = 0x001F0005;
extern DWORD activitysortfield;
extern int activitysortdirection;
extern int messageboxcheckflag;
extern int pastdueflag;
extern int doneflag;
extern int cleartypeflag;
extern int addlabelsflag;
extern int noteiconflag;
extern int notefontsize;
extern int fontsize;
extern int popupfontsize;
extern int sb1top;
extern int sb2top;
extern COLORREF lv1r1color;
extern COLORREF lv1r2color;
extern COLORREF lv2r1color;
extern COLORREF lv2r2color;
extern COLORREF notesbkgcolor;
extern COLORREF lv1textcolor;
extern COLORREF lv2textcolor;
extern COLORREF notestextcolor;
extern COLORREF lv1linecolor;
extern COLORREF lv2linecolor;
extern COLORREF lv1pastduecolor;
extern COLORREF lv2pastduecolor;
extern COLORREF popupbkgcolor;
extern COLORREF popuptextcolor;
extern COLORREF popupcontrolcolor;
extern COLORREF lv1donecolor;
extern COLORREF lv2donecolor;
extern int lv1lines;
extern int lv2lines;
extern int lv1sortcolumn;
extern int lv1sortdirection;
extern int lv2sortcolumn;
extern int lv2sortdirection;

// ---- Columns ----------------------------------------------------------------

extern int lv1colwidth[LV1_WIDTH_SLOTS];   // -1: no width stored
extern int lv2colwidth[LV2_WIDTH_SLOTS];

extern int numcontactfield;
extern int numlastactivityfield;
extern int numactivityfield;
extern int contactfield[CONTACT_COLUMN_SLOTS];             // contact field indices
extern int lastactivityfield[LAST_ACTIVITY_COLUMN_SLOTS];  // activity field indices
extern int activityfield[ACTIVITY_COLUMN_SLOTS];           // activity field indices

// numcontactfield + numlastactivityfield entries, and numactivityfield entries.
extern int* lv1columnorder;
extern int* lv2columnorder;

// ---- The second table --------------------------------------------------------

// A profile name: at most 29 characters and the terminator.
constexpr size_t PROFILE_NAME_CAPACITY = 30;
extern wchar_t activeprofilename[PROFILE_NAME_CAPACITY];
extern int lastcontactfindfield;
extern int lastactivityfindfield;
extern int purgemethod;
extern int remindindex;
extern int backupdatabaseflag;
extern int exportformat;
extern int filterexportflag;
extern int piminterface;
extern int numexportcontactfield;
extern int* exportcontactfield;    // numexportcontactfield + 1 entries
extern int numexportactivityfield;
extern int* exportactivityfield;   // numexportactivityfield + 1 entries
extern int defaultpopupinfosize;
