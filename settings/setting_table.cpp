#include "settings/setting_table.h"

#include "settings/field_labels.h"

#include <climits>
#include <cwchar>

Settings settings;

namespace {

// A stored width outside this range is not one a list view reported.
constexpr int MAX_COLUMN_WIDTH = 4096;

// Splitters far outside the screen are no layout a drag or a roll can leave.
int ScreenHeight()
{
    const int virtualHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const int height = virtualHeight > 0 ? virtualHeight : GetSystemMetrics(SM_CYSCREEN);
    return height > 0 ? height : 320;
}

// FileAs and Company, then Last Date and Next Date; Last Date, Event, Next
// Action, Next Date.
const int CONTACT_COLUMNS[] = {0, 4};
const int LAST_ACTIVITY_COLUMNS[] = {0, 1};
const int ACTIVITY_COLUMNS[] = {0, 2, 3, 1};
const int EXPORT_CONTACT_FIELDS[] = {0, 3, 4, 9, 14};
const int EXPORT_ACTIVITY_FIELDS[] = {0, 1, 2, 3, 4};

}  // namespace

#define WIDE_(text) L##text
#define WIDE(text) WIDE_(text)
#define MEMBER(member) WIDE(#member), offsetof(Settings, member)
#define NUMBER(member, fallback, low, high) \
    {MEMBER(member), SettingKind::Number, fallback, low, high, nullptr, nullptr, nullptr, 0}
#define ANY_NUMBER(member, fallback) NUMBER(member, fallback, INT_MIN, INT_MAX)
#define FLAG(member, fallback) NUMBER(member, fallback, 0, 1)
#define FONT_SIZE(member) NUMBER(member, 12, MIN_FONT_SIZE, MAX_FONT_SIZE)
#define SPLITTER(member, fallback) \
    {MEMBER(member), SettingKind::Number, fallback, 0, INT_MAX, nullptr, ScreenHeight, nullptr, 0}
// The high byte of a COLORREF is never set by the colour selector.
#define COLOUR(member, fallback) \
    {MEMBER(member), SettingKind::Unsigned, fallback, 0, 0xFFFFFF, nullptr, nullptr, nullptr, 0}
#define COUNT(member, fallback, capacity) \
    {MEMBER(member), SettingKind::Count, fallback, 0, capacity, nullptr, nullptr, nullptr, 0}
#define TEXT_VALUE(member, fallback, capacity) \
    {MEMBER(member), SettingKind::Text, 0, 0, capacity, fallback, nullptr, nullptr, 0}
#define LIST(member, kind, low, high, defaults) \
    {MEMBER(member), SettingKind::kind, 0, low, high, nullptr, nullptr, defaults, sizeof defaults / sizeof *defaults}
#define LIST_OF(member, kind, fallback, low, high) \
    {MEMBER(member), SettingKind::kind, fallback, low, high, nullptr, nullptr, nullptr, 0}

const SettingEntry SETTING_TABLE[] = {
    {MEMBER(activitysortfield), SettingKind::Unsigned, DEFAULT_ACTIVITY_SORT_FIELD, 0, 0xFFFFFFFF, nullptr,
     nullptr, nullptr, 0},
    ANY_NUMBER(activitysortdirection, 0),
    FLAG(messageboxcheckflag, 0),
    FLAG(pastdueflag, 0),
    FLAG(doneflag, 0),
    FLAG(cleartypeflag, 0),
    FLAG(addlabelsflag, 1),
    FLAG(noteiconflag, 1),
    FONT_SIZE(notefontsize),
    FONT_SIZE(fontsize),
    FONT_SIZE(popupfontsize),
    SPLITTER(sb1top, 125),
    SPLITTER(sb2top, 220),
    COLOUR(lv1r1color, 0xC4FFC4),
    COLOUR(lv1r2color, 0xAEFFFF),
    COLOUR(lv2r1color, 0xC4FFC4),
    COLOUR(lv2r2color, 0xC4FFC4),
    COLOUR(notesbkgcolor, 0xAEFFFF),
    COLOUR(lv1textcolor, 0x000000),
    COLOUR(lv2textcolor, 0x000000),
    COLOUR(notestextcolor, 0x000000),
    COLOUR(lv1linecolor, 0xC0C0C0),
    COLOUR(lv2linecolor, 0xC0C0C0),
    COLOUR(lv1pastduecolor, 0x0000FF),
    COLOUR(lv2pastduecolor, 0x0000FF),
    COLOUR(popupbkgcolor, 0xAEFFFF),
    COLOUR(popuptextcolor, 0x000000),
    COLOUR(popupcontrolcolor, 0x000000),
    COLOUR(lv1donecolor, 0x000000),
    COLOUR(lv2donecolor, 0x000000),
    NUMBER(lv1lines, 1, 0, 3),
    NUMBER(lv2lines, 1, 0, 3),
    // Sort columns are checked against the column counts once those are known.
    ANY_NUMBER(lv1sortcolumn, 0),
    FLAG(lv1sortdirection, 1),
    ANY_NUMBER(lv2sortcolumn, 0),
    FLAG(lv2sortdirection, 1),

    LIST_OF(lv1colwidth, List, -1, 0, MAX_COLUMN_WIDTH),
    LIST_OF(lv2colwidth, List, -1, 0, MAX_COLUMN_WIDTH),
    COUNT(numcontactfield, 2, CONTACT_COLUMN_SLOTS),
    COUNT(numlastactivityfield, 2, LAST_ACTIVITY_COLUMN_SLOTS),
    COUNT(numactivityfield, 4, ACTIVITY_COLUMN_SLOTS),
    LIST(contactfield, List, 0, CONTACT_FIELD_COUNT - 1, CONTACT_COLUMNS),
    LIST(lastactivityfield, List, 0, ACTIVITY_FIELD_COUNT - 1, LAST_ACTIVITY_COLUMNS),
    LIST(activityfield, List, 0, ACTIVITY_FIELD_COUNT - 1, ACTIVITY_COLUMNS),
    // Anything but a permutation is caught when the orders are loaded.
    LIST_OF(lv1columnorder, AllocatedList, 0, INT_MIN, INT_MAX),
    LIST_OF(lv2columnorder, AllocatedList, 0, INT_MIN, INT_MAX),

    TEXT_VALUE(activeprofilename, L"All", PROFILE_NAME_CAPACITY),
    NUMBER(lastcontactfindfield, 0, 0, FIELD_COUNT - 1),
    NUMBER(lastactivityfindfield, 0, 0, ACTIVITY_FIELD_COUNT - 1),
    FLAG(purgemethod, 0),
    NUMBER(remindindex, 0, 0, REMINDER_CHOICES - 1),
    FLAG(backupdatabaseflag, 1),
    FLAG(exportformat, 0),
    FLAG(filterexportflag, 0),
    FLAG(piminterface, 0),
    COUNT(numexportcontactfield, 5, CONTACT_FIELD_COUNT),
    LIST(exportcontactfield, AllocatedList, 0, CONTACT_FIELD_COUNT - 1, EXPORT_CONTACT_FIELDS),
    COUNT(numexportactivityfield, 5, ACTIVITY_FIELD_COUNT),
    LIST(exportactivityfield, AllocatedList, 0, ACTIVITY_FIELD_COUNT - 1, EXPORT_ACTIVITY_FIELDS),
    FLAG(defaultpopupinfosize, 0),
};
const size_t SETTING_COUNT = sizeof SETTING_TABLE / sizeof SETTING_TABLE[0];

const SettingEntry* FindSetting(SettingId member)
{
    for (const SettingEntry& entry : SETTING_TABLE)
        if (entry.offset == member.offset)
            return &entry;
    return nullptr;
}

long long HighestAccepted(const SettingEntry& entry)
{
    if (!entry.limit)
        return entry.high;
    const long long limit = entry.limit();
    return limit < entry.high ? limit : entry.high;
}

int* EntriesOf(const SettingEntry& entry)
{
    if (entry.kind == SettingKind::AllocatedList)
        return *static_cast<int**>(MemberOf(entry));
    return static_cast<int*>(MemberOf(entry));
}

void EntryName(const SettingEntry& entry, int index, wchar_t (&name)[48])
{
    std::swprintf(name, 48, L"%ls%d", entry.name, index);
}
