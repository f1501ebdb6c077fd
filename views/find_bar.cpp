#include "views/find_bar.h"

#include "base/app_handles.h"
#include "settings/field_labels.h"
#include "settings/settings.h"

int findButtonPressed = 0;

// The bar's behaviour arrives with the find bar itself; until then the
// find state stays as at start-up and these do nothing.
void ToggleFindBar(HWND) {}
void OnFindFieldBoxCommand(HWND, WORD) {}
void FindBarPenDown(HWND, int, int) {}
void FindBarPenUp(HWND, int, int) {}

void FillFindFieldBox(int mode)
{
    HWND box = MainWindowChild(ID_FIND_FIELD_BOX);
    if (!box)
        return;
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    if (mode == FIND_MODE_CONTACTS)
        for (int field = 0; field < CONTACT_FIELD_COUNT; ++field)
            SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ContactFieldLabel(field)));
    for (int field = 0; field < ACTIVITY_FIELD_COUNT; ++field)
        SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ActivityFieldLabel(field)));
    SendMessageW(box, CB_SETCURSEL, mode == FIND_MODE_CONTACTS ? lastcontactfindfield : lastactivityfindfield, 0);
}
