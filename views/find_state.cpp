#include "views/find_state.h"

int findBarShown;
int findMode = FIND_CONTACTS;
wchar_t findText[FIND_TEXT_CAPACITY];
