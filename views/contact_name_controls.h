// The contacts' names in the combo and list boxes of the dialogs that choose
// contacts (the activity dialog, the export dialog).
#pragma once
#include <windows.h>

#include "platform/cedb/windbase.h"

// Named contacts sorted by name and restricted by the active profile; the
// n-th item's oid is (*oids)[n].
void FillContactCombo(HWND combo, CEOID** oids);
// The same into a list box; with useFilter 1 also narrowed by the find bar,
// and only then restricted by the profile.
void FillContactListBox(HWND listBox, int useFilter, CEOID** oids);
