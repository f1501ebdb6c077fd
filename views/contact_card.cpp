#include "views/contact_card.h"

#include <windows.h>

void SwitchContactCardToSummary()
{
    HWND card = FindWindowW(L"Dialog", L"Contacts");
    if (!card)
        return;
    for (HWND child = GetWindow(card, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[80] = L"";
        GetWindowTextW(child, text, 80);
        if (lstrcmpW(text, L"Summary") == 0) {
            SendMessageW(child, WM_COMMAND, 105, 0);
            return;
        }
    }
}
