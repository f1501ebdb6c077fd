#include "views/contact_name_controls.h"

#include "contacts/contact_source.h"

static void FillNames(HWND control, UINT resetMessage, UINT addMessage, const std::vector<std::wstring>& names)
{
    SendMessageW(control, resetMessage, 0, 0);
    for (const std::wstring& name : names)
        SendMessageW(control, addMessage, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

void FillContactCombo(HWND combo, CEOID** oids)
{
    FillNames(combo, CB_RESETCONTENT, CB_ADDSTRING, ListContactNames(oids, true, 0));
}

void FillContactListBox(HWND listBox, int useFilter, CEOID** oids)
{
    FillNames(listBox, LB_RESETCONTENT, LB_ADDSTRING, ListContactNames(oids, useFilter == 1, useFilter));
}
