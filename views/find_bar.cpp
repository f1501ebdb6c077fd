#include "views/find_bar.h"

int findBarVisible = 0;
int findMode = FIND_MODE_CONTACTS;
int findButtonPressed = 0;
wchar_t findText[FIND_TEXT_CAPACITY];

// The bar's behaviour arrives with the find bar itself; until then the
// state above stays as at start-up and these do nothing.
void ToggleFindBar(HWND) {}
void OnFindFieldBoxCommand(HWND, WORD) {}
void FindBarPenDown(HWND, int, int) {}
void FindBarPenUp(HWND, int, int) {}
