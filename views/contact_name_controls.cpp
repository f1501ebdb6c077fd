#include "views/contact_name_controls.h"

#include "base/list_controls.h"
#include "contacts/contact_source.h"

void FillContactCombo(HWND combo, CEOID** oids)
{
    FillComboBox(combo, ListContactNames(oids, true, 0));
}

void FillContactListBox(HWND listBox, int useFilter, CEOID** oids)
{
    FillListBox(listBox, ListContactNames(oids, useFilter == 1, useFilter));
}
