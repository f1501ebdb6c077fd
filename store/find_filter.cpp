#include "store/find_filter.h"

#include <cwchar>

int findBarVisible = 0;
int findMode = FIND_MODE_CONTACTS;
wchar_t findText[FIND_TEXT_CAPACITY];

bool FindFilterApplies(int applyFlag, int mode)
{
    return applyFlag == 1 && findBarVisible && findMode == mode && findText[0] != 0;
}

bool MatchesFindText(const wchar_t* loweredText)
{
    return loweredText && std::wcsstr(loweredText, findText) != nullptr;
}
