// The settings store: every user preference is a member of one Settings
// value, and each member carries the name of its registry value. LoadSettings
// fills it once at start-up; from then on the members are the truth and each
// change is written back at once, member by member, through SaveSetting.
#pragma once
#include <windows.h>

#include <cstddef>

// ---- Capacities ------------------------------------------------------------

constexpr int CONTACT_COLUMN_SLOTS = 21;        // contactfield entries
constexpr int LAST_ACTIVITY_COLUMN_SLOTS = 8;   // lastactivityfield entries
constexpr int ACTIVITY_COLUMN_SLOTS = 8;        // activityfield entries
constexpr int LV1_WIDTH_SLOTS = 29;             // lv1colwidth entries
constexpr int LV2_WIDTH_SLOTS = 8;              // lv2colwidth entries

// A profile name: at most 29 characters and the terminator.
constexpr size_t PROFILE_NAME_CAPACITY = 30;

struct Settings {
    DWORD activitysortfield;
    int activitysortdirection;
    int messageboxcheckflag;
    int pastdueflag;
    int doneflag;
    int cleartypeflag;
    int addlabelsflag;
    int noteiconflag;
    int notefontsize;
    int fontsize;
    int popupfontsize;
    int sb1top;
    int sb2top;
    COLORREF lv1r1color;
    COLORREF lv1r2color;
    COLORREF lv2r1color;
    COLORREF lv2r2color;
    COLORREF notesbkgcolor;
    COLORREF lv1textcolor;
    COLORREF lv2textcolor;
    COLORREF notestextcolor;
    COLORREF lv1linecolor;
    COLORREF lv2linecolor;
    COLORREF lv1pastduecolor;
    COLORREF lv2pastduecolor;
    COLORREF popupbkgcolor;
    COLORREF popuptextcolor;
    COLORREF popupcontrolcolor;
    COLORREF lv1donecolor;
    COLORREF lv2donecolor;
    int lv1lines;
    int lv2lines;
    int lv1sortcolumn;
    int lv1sortdirection;
    int lv2sortcolumn;
    int lv2sortdirection;

    int lv1colwidth[LV1_WIDTH_SLOTS];  // -1: no width stored
    int lv2colwidth[LV2_WIDTH_SLOTS];
    int numcontactfield;
    int numlastactivityfield;
    int numactivityfield;
    int contactfield[CONTACT_COLUMN_SLOTS];             // contact field indices
    int lastactivityfield[LAST_ACTIVITY_COLUMN_SLOTS];  // activity field indices
    int activityfield[ACTIVITY_COLUMN_SLOTS];           // activity field indices
    // numcontactfield + numlastactivityfield entries, and numactivityfield entries.
    int* lv1columnorder;
    int* lv2columnorder;

    wchar_t activeprofilename[PROFILE_NAME_CAPACITY];
    int lastcontactfindfield;
    int lastactivityfindfield;
    int purgemethod;
    int remindindex;
    int backupdatabaseflag;
    int exportformat;
    int filterexportflag;
    int piminterface;
    int numexportcontactfield;
    int* exportcontactfield;  // numexportcontactfield + 1 entries
    int numexportactivityfield;
    int* exportactivityfield;  // numexportactivityfield + 1 entries
    int defaultpopupinfosize;
};

extern Settings settings;

// ---- Values the table and the settings' writers share ----------------------

// remindindex chooses among "NONE" and thirteen intervals.
constexpr int REMINDER_CHOICES = 14;
// Font sizes the Other page offers.
constexpr int MIN_FONT_SIZE = 10;
constexpr int MAX_FONT_SIZE = 16;
// The sort property of the activity database: the next date by default;
// start-up replaces a value the database cannot be opened by.
constexpr DWORD DEFAULT_ACTIVITY_SORT_FIELD = 0x001F0005;

// Names one member of Settings, as &Settings::fontsize does.
class SettingId {
public:
    template <class T>
    SettingId(T Settings::*member)
        : offset(static_cast<size_t>(reinterpret_cast<const char*>(&(settings.*member)) -
                                     reinterpret_cast<const char*>(&settings)))
    {
    }
    explicit SettingId(size_t memberOffset) : offset(memberOffset) {}
    size_t offset;
};

// Sets every setting to its default, then overwrites it from the registry
// where a sound value is stored. The allocated arrays are resized here.
void LoadSettings();

// Writes a member's current value under its name. False when the registry
// refused it (the member keeps the value either way).
bool SaveSetting(SettingId member);
// Writes count entries of a list member from first on: lv1colwidth entry 3
// is the value lv1colwidth3.
bool SaveSettingEntries(SettingId list, int first, int count);
// Writes a field's label, renamed or not, under the field's label value.
bool SaveFieldLabel(int field);

// The four allocated arrays: one entry each until LoadSettings resizes them.
// Returns false when an allocation failed (the others are still made).
bool AllocateSettingArrays();
void FreeSettingArrays();
