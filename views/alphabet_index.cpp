#include "views/alphabet_index.h"

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <unordered_map>

#include "base/text.h"
#include "base/wait_cursor.h"
#include "contacts/contact_fields.h"
#include "settings/settings.h"
#include "store/activity_database.h"
#include "store/activity_record.h"
#include "store/activity_text.h"
#include "views/list_views.h"

namespace {

const wchar_t INDEX_CHARACTERS[] = L"#ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// Right edges of the nine groups printed in the band. Neighbouring ranges
// share their edge pixel, which goes to the left group.
const int GROUP_RIGHT[INDEX_GROUP_COUNT] = {26, 53, 80, 107, 133, 161, 188, 215, 240};

int lastIndexGroup = -1;
int currentIndexCode = 0;

// The first character's place in the alphabet, accents aside: the platform's
// decomposition splits "É" into "E" and a combining accent.
wchar_t BaseLetter(const wchar_t* text)
{
    const int units = IS_HIGH_SURROGATE(text[0]) && IS_LOW_SURROGATE(text[1]) ? 2 : 1;
    wchar_t folded[8] = L"";
    if (FoldStringW(MAP_COMPOSITE, text, units, folded, 8) > 0)
        return folded[0];
    return text[0];
}

// The row's text in the contacts list's sort column, as the list shows it.
void SortColumnText(int row, wchar_t* text, int capacity)
{
    text[0] = 0;
    const int column = settings.lv1sortcolumn;
    if (column >= 0 && column < settings.numcontactfield) {
        GetContactFieldText(contactOIDList[row], settings.contactfield[column], text, capacity);
        return;
    }
    if (column < settings.numcontactfield || column >= settings.numcontactfield + settings.numlastactivityfield)
        return;
    const CEOID last = lastActivityOIDList ? lastActivityOIDList[row] : 0;
    ActivityRecord record = {};
    if (last && activityDatabase && ReadActivityRecordDB(activityDatabase, last, &record))
        GetActivityColumnText(record, settings.lastactivityfield[column - settings.numcontactfield], text,
                              static_cast<size_t>(capacity), 0);
}

// Rows fetched one contact at a time before the rest of a contact column's
// texts are read in one pass: a match near the top stays quick, and a walk
// through a large list does not fetch thousands of contacts one by one.
constexpr int ROWS_BEFORE_ONE_PASS = 200;

int FirstRowMatching(int p)
{
    wchar_t text[CONTACT_FIELD_TEXT_CAPACITY];
    const bool contactColumn = settings.lv1sortcolumn >= 0 && settings.lv1sortcolumn < settings.numcontactfield;
    std::unordered_map<CEOID, std::wstring> texts;
    bool textsRead = false;
    for (int row = 0; row < contactCount && contactOIDList; ++row) {
        if (contactColumn && row >= ROWS_BEFORE_ONE_PASS && !textsRead) {
            GetContactFieldTexts(settings.contactfield[settings.lv1sortcolumn], CONTACT_FIELD_TEXT_CAPACITY, &texts);
            textsRead = true;
        }
        const auto known = textsRead ? texts.find(contactOIDList[row]) : texts.end();
        if (known != texts.end())
            CopyText(text, known->second.c_str());
        else
            SortColumnText(row, text, CONTACT_FIELD_TEXT_CAPACITY);
        if (MatchesIndexCharacter(text, p))
            return row;
    }
    return -1;
}

}  // namespace

int IndexGroupAt(int x)
{
    if (x < 0)
        return -1;
    for (int group = 0; group < INDEX_GROUP_COUNT; ++group)
        if (x <= GROUP_RIGHT[group])
            return group;
    return -1;
}

bool BeginsWithLetter(const wchar_t* text)
{
    if (!text || !text[0])
        return false;
    WORD type = 0;
    return GetStringTypeW(CT_CTYPE1, text, 1, &type) && (type & C1_ALPHA);
}

bool MatchesIndexCharacter(const wchar_t* text, int p)
{
    if (p == 0)
        return !BeginsWithLetter(text);
    if (!text || !text[0] || p < 0 || p >= static_cast<int>(ARRAYSIZE(INDEX_CHARACTERS)) - 1)
        return false;
    const wchar_t upper = INDEX_CHARACTERS[p];
    const wchar_t lower = static_cast<wchar_t>(upper - L'A' + L'a');
    const wchar_t first = BaseLetter(text);
    return first == upper || first == lower;
}

int TapIndexGroup(int group)
{
    if (group < 0 || group >= INDEX_GROUP_COUNT)
        return -1;
    // Tapping the same group again steps through its three characters.
    if (group == lastIndexGroup)
        currentIndexCode = currentIndexCode < 9 ? group + 10 : currentIndexCode < 19 ? group + 20 : group;
    else
        currentIndexCode = group;
    lastIndexGroup = group;
    const int p = 3 * (currentIndexCode % 10) + currentIndexCode / 10;

    SetWaitCursor(true);
    const int row = FirstRowMatching(p);
    SetWaitCursor(false);
    if (row >= 0)
        ScrollRowToTop(ContactsList(), row);
    return row;
}

void ResetAlphabetIndex()
{
    lastIndexGroup = -1;
    currentIndexCode = 0;
}
