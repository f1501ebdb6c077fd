// Changes to the device's contacts: the device's card opened for one contact
// or a new one, deletion, and the change record that tells the main window
// to rebuild its lists.
#include "contacts/contact_items.h"

#include <oleauto.h>

#include "base/app_handles.h"
#include "base/message_box.h"

CEOID newContactOid;

namespace {

constexpr UINT CHANGE_RECORD_SIZE = 36;

bool Connected()
{
    return outlookApp && outlookLoggedOn;
}

// The card of an existing contact; false when it cannot be had.
bool DisplayContact(CEOID oid)
{
    IDispatch* item = nullptr;
    IContact* contact = nullptr;
    if (outlookApp->GetItemFromOid(static_cast<long>(oid), &item) != S_OK || !(contact = AsContact(item))) {
        SystemMessageBox(hMainWindow, L"Error in getting contact handle", L"Error");
        return false;
    }
    StartMainWindowTimer(CONTACT_SUMMARY_TIMER, CONTACT_SUMMARY_DELAY_MS);
    contact->Display();
    contact->Release();
    return true;
}

// Whether the contact is still the placeholder DisplayNewContact saved.
bool IsUntouchedPlaceholder(IContact* contact)
{
    ReceivedString first, last, company;
    contact->get_FirstName(&first.text);
    contact->get_LastName(&last.text);
    contact->get_CompanyName(&company.text);
    return first.Text()[0] == L' ' && !last.Text()[0] && !company.Text()[0];
}

// The card of a new contact; false when none was made or nothing was typed,
// then the placeholder goes again.
bool DisplayNewContact()
{
    IDispatch* item = nullptr;
    if (FAILED(outlookApp->CreateItem(olContactItem, &item)))
        return false;
    IContact* contact = AsContact(item);
    if (!contact)
        return false;
    // Two blanks let the empty contact be saved before the card opens.
    BSTR placeholder = SysAllocString(L"  ");
    contact->put_FirstName(placeholder);
    SysFreeString(placeholder);
    contact->Save();
    StartMainWindowTimer(CONTACT_SUMMARY_TIMER, CONTACT_SUMMARY_DELAY_MS);
    contact->Display();
    long created = 0;
    contact->get_Oid(&created);
    newContactOid = static_cast<CEOID>(created);
    contact->Release();

    contact = FetchContact(newContactOid);
    if (!contact)
        return true;
    const bool untouched = IsUntouchedPlaceholder(contact);
    if (untouched) {
        contact->Delete();
        newContactOid = 0;
    }
    contact->Release();
    return !untouched;
}

// Tells the main window that contacts changed, as the database service
// would: allocated as the service allocates its own change records, so
// that the handler releases every record alike (CeFreeNotification).
void PostContactsChanged()
{
    auto* change = static_cast<CENOTIFICATION*>(LocalAlloc(LPTR, sizeof(CENOTIFICATION)));
    if (!change)
        return;
    change->dwSize = CHANGE_RECORD_SIZE;
    change->uType = DB_CEOID_CHANGED;
    SendToMainWindow(WM_DBNOTIFICATION, 0, reinterpret_cast<LPARAM>(change));
}

}  // namespace

int OpenContactEditor(CEOID oid)
{
    if (!Connected())
        return 0;
    if (!(oid != 0 ? DisplayContact(oid) : DisplayNewContact()))
        return 0;
    PostContactsChanged();
    return 1;
}

int DeleteContact(CEOID oid)
{
    if (!Connected())
        return 0;
    IDispatch* item = nullptr;
    if (FAILED(outlookApp->GetItemFromOid(static_cast<long>(oid), &item))) {
        SystemMessageBox(nullptr, L"Failure to Obtain Contact Item", L"Error");
        return 0;
    }
    IContact* contact = AsContact(item);
    if (!contact)
        return 0;
    const HRESULT result = contact->Delete();
    contact->Release();
    return SUCCEEDED(result) ? 1 : 0;
}
