#include "store/find_filter.h"

#include <windows.h>

#include <cwchar>
#include <vector>

#include "base/text.h"

int findBarVisible = 0;
int findMode = FIND_MODE_CONTACTS;
wchar_t findText[FIND_TEXT_CAPACITY];

void ResetFindState()
{
    findBarVisible = 0;
    findMode = FIND_MODE_CONTACTS;
    findText[0] = 0;
}

void SetFindText(const wchar_t* typed)
{
    findText[0] = 0;
    if (!typed)
        return;
    // Trim before cutting, so leading blanks do not use up the 79 characters.
    while (*typed == L' ')
        ++typed;
    CopyText(findText, typed);
    size_t length = std::wcslen(findText);
    while (length > 0 && findText[length - 1] == L' ')
        findText[--length] = 0;
    LowerCaseText(findText);
}

void LowerCaseText(wchar_t* text)
{
    if (!text || !text[0])
        return;
    const int length = static_cast<int>(std::wcslen(text));
    // The invariant locale, so the user's locale (a Turkish dotless i, say)
    // cannot make the find text and a field text lower differently.
    std::vector<wchar_t> lowered(static_cast<size_t>(length) + 1);
    const int written = LCMapStringW(LOCALE_INVARIANT, LCMAP_LOWERCASE, text, length, lowered.data(), length + 1);
    if (written == length) {
        std::wmemcpy(text, lowered.data(), static_cast<size_t>(length));
        return;
    }
    CharLowerBuffW(text, static_cast<DWORD>(length));
}

bool FindFilterApplies(int applyFlag, int mode)
{
    return applyFlag == 1 && findBarVisible && findMode == mode && findText[0] != 0;
}

bool MatchesFindText(const wchar_t* loweredText)
{
    return loweredText && std::wcsstr(loweredText, findText) != nullptr;
}
