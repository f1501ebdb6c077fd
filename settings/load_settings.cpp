#include "settings/settings.h"

#include "settings/field_labels.h"

#include "base/text.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

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

int lv1colwidth[LV1_WIDTH_SLOTS];
int lv2colwidth[LV2_WIDTH_SLOTS];
int numcontactfield;
int numlastactivityfield;
int numactivityfield;
int contactfield[CONTACT_COLUMN_SLOTS];
int lastactivityfield[LAST_ACTIVITY_COLUMN_SLOTS];
int activityfield[ACTIVITY_COLUMN_SLOTS];

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
int numexportactivityfield;
int defaultpopupinfosize;

namespace {

// A number setting with the range of values its writers can store; anything
// else in the registry leaves the default in place.
struct IntSetting {
    const wchar_t* name;
    int* variable;
    int fallback;
    int low, high;
};

struct ColorSetting {
    const wchar_t* name;
    COLORREF* variable;
    COLORREF fallback;
};


const IntSetting firstScalars[] = {
    {L"activitysortdirection", &activitysortdirection, 0, INT_MIN, INT_MAX},
    {L"messageboxcheckflag", &messageboxcheckflag, 0, 0, 1},
    {L"pastdueflag", &pastdueflag, 0, 0, 1},
    {L"doneflag", &doneflag, 0, 0, 1},
    {L"cleartypeflag", &cleartypeflag, 0, 0, 1},
    {L"addlabelsflag", &addlabelsflag, 1, 0, 1},
    {L"noteiconflag", &noteiconflag, 1, 0, 1},
    {L"notefontsize", &notefontsize, 12, MIN_FONT_SIZE, MAX_FONT_SIZE},
    {L"fontsize", &fontsize, 12, MIN_FONT_SIZE, MAX_FONT_SIZE},
    {L"popupfontsize", &popupfontsize, 12, MIN_FONT_SIZE, MAX_FONT_SIZE},
};

const ColorSetting colors[] = {
    {L"lv1r1color", &lv1r1color, 0xC4FFC4},
    {L"lv1r2color", &lv1r2color, 0xAEFFFF},
    {L"lv2r1color", &lv2r1color, 0xC4FFC4},
    {L"lv2r2color", &lv2r2color, 0xC4FFC4},
    {L"notesbkgcolor", &notesbkgcolor, 0xAEFFFF},
    {L"lv1textcolor", &lv1textcolor, 0x000000},
    {L"lv2textcolor", &lv2textcolor, 0x000000},
    {L"notestextcolor", &notestextcolor, 0x000000},
    {L"lv1linecolor", &lv1linecolor, 0xC0C0C0},
    {L"lv2linecolor", &lv2linecolor, 0xC0C0C0},
    {L"lv1pastduecolor", &lv1pastduecolor, 0x0000FF},
    {L"lv2pastduecolor", &lv2pastduecolor, 0x0000FF},
    {L"popupbkgcolor", &popupbkgcolor, 0xAEFFFF},
    {L"popuptextcolor", &popuptextcolor, 0x000000},
    {L"popupcontrolcolor", &popupcontrolcolor, 0x000000},
    {L"lv1donecolor", &lv1donecolor, 0x000000},
    {L"lv2donecolor", &lv2donecolor, 0x000000},
};

const IntSetting lineScalars[] = {
    {L"lv1lines", &lv1lines, 1, 0, 3},
    {L"lv2lines", &lv2lines, 1, 0, 3},
};

const IntSetting secondScalars[] = {
    {L"lastcontactfindfield", &lastcontactfindfield, 0, 0, FIELD_COUNT - 1},
    {L"lastactivityfindfield", &lastactivityfindfield, 0, 0, ACTIVITY_FIELD_COUNT - 1},
    {L"purgemethod", &purgemethod, 0, 0, 1},
    {L"remindindex", &remindindex, 0, 0, REMINDER_CHOICES - 1},
    {L"backupdatabaseflag", &backupdatabaseflag, 1, 0, 1},
    {L"exportformat", &exportformat, 0, 0, 1},
    {L"filterexportflag", &filterexportflag, 0, 0, 1},
    {L"piminterface", &piminterface, 0, 0, 1},
};

void ReadInt(const IntSetting& setting)
{
    *setting.variable = setting.fallback;
    int stored = 0;
    if (RegReadDword(setting.name, &stored) == 0 && stored >= setting.low && stored <= setting.high)
        *setting.variable = stored;
}

template <size_t N>
void ReadInts(const IntSetting (&settings)[N])
{
    for (const IntSetting& setting : settings)
        ReadInt(setting);
}

// Reads an indexed value into slot when it lies within [low, high]; returns
// whether it did.
bool ReadIndexed(const wchar_t* pattern, int index, int* slot, int low, int high)
{
    wchar_t name[48];
    swprintf(name, 48, pattern, index);
    int stored = 0;
    if (RegReadDword(name, &stored) != 0 || stored < low || stored > high)
        return false;
    *slot = stored;
    return true;
}

// A count outside what its array holds is clamped; a negative one is not a
// count at all and keeps the default.
void ReadCount(const wchar_t* name, int* count, int fallback, int capacity)
{
    *count = fallback;
    int stored = 0;
    if (RegReadDword(name, &stored) != 0 || stored < 0)
        return;
    *count = stored > capacity ? capacity : stored;
}

bool Resize(int** array, int entries)
{
    void* grown = realloc(*array, static_cast<size_t>(entries > 0 ? entries : 1) * sizeof(int));
    if (!grown)
        return false;
    *array = static_cast<int*>(grown);
    return true;
}

void LoadScalars()
{
    activitysortfield = DEFAULT_ACTIVITY_SORT_FIELD;
    RegReadDword(L"activitysortfield", &activitysortfield);
    ReadInts(firstScalars);

    // Splitters: far outside the screen, or crossed, is no layout a drag or a
    // roll can leave behind.
    const int screenHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN) > 0 ? GetSystemMetrics(SM_CYVIRTUALSCREEN)
                                                                       : GetSystemMetrics(SM_CYSCREEN);
    const int splitterLimit = screenHeight > 0 ? screenHeight : 320;
    ReadInt({L"sb1top", &sb1top, 125, 0, splitterLimit});
    ReadInt({L"sb2top", &sb2top, 220, 0, splitterLimit});
    if (sb2top < sb1top + 6) {
        sb1top = 125;
        sb2top = 220;
    }

    // Every colour takes its default before any is read. The high byte of a
    // COLORREF is never set by the colour selector.
    for (const ColorSetting& color : colors)
        *color.variable = color.fallback;
    for (const ColorSetting& color : colors) {
        DWORD stored = 0;
        if (RegReadDword(color.name, &stored) == 0 && stored <= 0xFFFFFF)
            *color.variable = stored;
    }

    ReadInts(lineScalars);
    // Sort columns are checked against the column counts once those are known.
    lv1sortcolumn = 0;
    RegReadDword(L"lv1sortcolumn", &lv1sortcolumn);
    ReadInt({L"lv1sortdirection", &lv1sortdirection, 1, 0, 1});
    lv2sortcolumn = 0;
    RegReadDword(L"lv2sortcolumn", &lv2sortcolumn);
    ReadInt({L"lv2sortdirection", &lv2sortdirection, 1, 0, 1});
}

void LoadColumnWidths()
{
    for (int i = 0; i < LV1_WIDTH_SLOTS; ++i) {
        lv1colwidth[i] = -1;
        ReadIndexed(L"lv1colwidth%d", i, &lv1colwidth[i], 0, MAX_COLUMN_WIDTH);
    }
    for (int i = 0; i < LV2_WIDTH_SLOTS; ++i) {
        lv2colwidth[i] = -1;
        ReadIndexed(L"lv2colwidth%d", i, &lv2colwidth[i], 0, MAX_COLUMN_WIDTH);
    }
}

void LoadFieldLabels()
{
    ResetFieldLabels();
    wchar_t name[48];
    wchar_t text[SETTINGS_STRING_CHARS];
    for (int i = 0; i < CONTACT_FIELD_COUNT; ++i) {
        swprintf(name, 48, L"contactfieldlabel%d", i);
        if (RegReadString(name, text) == 0)
            RenameFieldLabel(i, text);
    }
    for (int i = 0; i < ACTIVITY_FIELD_COUNT; ++i) {
        swprintf(name, 48, L"activityfieldlabel%d", i);
        if (RegReadString(name, text) == 0)
            RenameFieldLabel(CONTACT_FIELD_COUNT + i, text);
    }
}

void LoadColumnSelections()
{
    contactfield[0] = 0;
    contactfield[1] = 4;
    lastactivityfield[0] = 0;
    lastactivityfield[1] = 1;
    activityfield[0] = 0;
    activityfield[1] = 2;
    activityfield[2] = 3;
    activityfield[3] = 1;
    ReadCount(L"numcontactfield", &numcontactfield, 2, CONTACT_COLUMN_SLOTS);
    ReadCount(L"numlastactivityfield", &numlastactivityfield, 2, LAST_ACTIVITY_COLUMN_SLOTS);
    ReadCount(L"numactivityfield", &numactivityfield, 4, ACTIVITY_COLUMN_SLOTS);
    // An entry naming no field is absent: the slot keeps what it held.
    for (int i = 0; i < numcontactfield; ++i)
        ReadIndexed(L"contactfield%d", i, &contactfield[i], 0, CONTACT_FIELD_COUNT - 1);
    for (int i = 0; i < numlastactivityfield; ++i)
        ReadIndexed(L"lastactivityfield%d", i, &lastactivityfield[i], 0, ACTIVITY_FIELD_COUNT - 1);
    for (int i = 0; i < numactivityfield; ++i)
        ReadIndexed(L"activityfield%d", i, &activityfield[i], 0, ACTIVITY_FIELD_COUNT - 1);
}

// Reads a column order of count entries; anything but a permutation of
// 0..count-1 would show a column twice or not at all, so it becomes identity.
void LoadColumnOrder(const wchar_t* pattern, int* order, int count)
{
    bool seen[LV1_WIDTH_SLOTS] = {};
    bool permutation = true;
    for (int i = 0; i < count; ++i) {
        order[i] = i;
        ReadIndexed(pattern, i, &order[i], INT_MIN, INT_MAX);
        if (order[i] < 0 || order[i] >= count || seen[order[i]])
            permutation = false;
        else
            seen[order[i]] = true;
    }
    if (!permutation) {
        for (int i = 0; i < count; ++i)
            order[i] = i;
    }
}

void LoadColumnOrders()
{
    if (!Resize(&lv1columnorder, numcontactfield + numlastactivityfield)) {
        // Without room for the order the list can only show what fits.
        numlastactivityfield = 0;
        if (numcontactfield > 1)
            numcontactfield = lv1columnorder ? 1 : 0;
    }
    if (lv1columnorder)
        LoadColumnOrder(L"lv1columnorder%d", lv1columnorder, numcontactfield + numlastactivityfield);

    if (!Resize(&lv2columnorder, numactivityfield) && numactivityfield > 1)
        numactivityfield = lv2columnorder ? 1 : 0;
    if (lv2columnorder)
        LoadColumnOrder(L"lv2columnorder%d", lv2columnorder, numactivityfield);

    const int lv1Columns = numcontactfield + numlastactivityfield;
    if (lv1sortcolumn < 0 || lv1sortcolumn >= lv1Columns)
        lv1sortcolumn = 0;
    if (lv2sortcolumn < 0 || lv2sortcolumn >= numactivityfield)
        lv2sortcolumn = 0;
}

// One export list: count and entries. Entries the registry does not hold keep
// the defaults, whatever the count.
void LoadExportFields(const wchar_t* countName, const wchar_t* pattern, int* count, int** fields,
                      const int (&defaults)[5], int fieldCount)
{
    ReadCount(countName, count, 5, fieldCount);
    if (!Resize(fields, *count + 1)) {
        // The array keeps the one entry it had (if any): export nothing.
        *count = 0;
        if (*fields)
            (*fields)[0] = 0;
        return;
    }
    for (int i = 0; i <= *count; ++i)
        (*fields)[i] = i < 5 ? defaults[i] : 0;
    for (int i = 0; i < *count; ++i)
        ReadIndexed(pattern, i, &(*fields)[i], 0, fieldCount - 1);
}

}  // namespace

void LoadSettings()
{
    LoadScalars();
    LoadColumnWidths();
    LoadFieldLabels();
    LoadColumnSelections();
    LoadColumnOrders();

    // A name too long for a profile names none: cut, it could name another.
    wchar_t stored[SETTINGS_STRING_CHARS] = L"";
    if (RegReadString(L"activeprofilename", stored) != 0 || !CopyText(activeprofilename, stored))
        CopyText(activeprofilename, L"All");

    ReadInts(secondScalars);

    static const int contactDefaults[5] = {0, 3, 4, 9, 14};
    static const int activityDefaults[5] = {0, 1, 2, 3, 4};
    LoadExportFields(L"numexportcontactfield", L"exportcontactfield%d", &numexportcontactfield,
                     &exportcontactfield, contactDefaults, CONTACT_FIELD_COUNT);
    LoadExportFields(L"numexportactivityfield", L"exportactivityfield%d", &numexportactivityfield,
                     &exportactivityfield, activityDefaults, ACTIVITY_FIELD_COUNT);

    ReadInt({L"defaultpopupinfosize", &defaultpopupinfosize, 0, 0, 1});
}
