// The connection to the device's contact object model: opened once at
// start-up, released at exit, and the door every contact is fetched through.
#include "contacts/contact_items.h"

#include "base/message_box.h"
#include "platform/poom/card_save_failure.h"
#include "store/store_error.h"

IPOutlookApp* outlookApp;
int outlookLoggedOn;
IFolder* contactsFolder;

namespace {

void ShowConnectionError(const wchar_t* text)
{
    SystemMessageBox(nullptr, text, L"Error");
}

// The device's card stays open with what was typed; the program says why.
void ReportContactSaveFailure(HWND card, DWORD error)
{
    NoteStoreFailure(error);
    ReportStoreFailure(card, L"The contact could not be saved", L"close the card again");
}

}  // namespace

IContact* AsContact(IDispatch* item)
{
    if (!item)
        return nullptr;
    IContact* contact = nullptr;
    if (FAILED(item->QueryInterface(IID_IContact, reinterpret_cast<void**>(&contact))))
        contact = nullptr;
    item->Release();
    return contact;
}

int OpenOutlookConnection(HWND mainWindow)
{
    if (!outlookLoggedOn) {
        if (FAILED(CoInitializeEx(nullptr, 0))) {
            ShowConnectionError(L"Error in call to CoInitializeEx");
            return 0;
        }
        if (FAILED(CoCreateInstance(CLSID_Application, nullptr, CLSCTX_INPROC_SERVER, IID_IPOutlookApp,
                                    reinterpret_cast<void**>(&outlookApp))) ||
            !outlookApp) {
            outlookApp = nullptr;
            ShowConnectionError(L"Error in call to CoCreateInstance.");
            return 0;
        }
        if (FAILED(outlookApp->Logon(static_cast<long>(reinterpret_cast<LONG_PTR>(mainWindow))))) {
            ShowConnectionError(L"Failure to logon to app object.");
            outlookApp->Release();
            outlookApp = nullptr;
            return 0;
        }
        outlookLoggedOn = 1;
        SetContactSaveFailureHandler(ReportContactSaveFailure);
    }
    if (contactsFolder) {
        contactsFolder->Release();
        contactsFolder = nullptr;
    }
    if (SUCCEEDED(outlookApp->GetDefaultFolder(olFolderContacts, &contactsFolder)) && contactsFolder)
        return 1;
    contactsFolder = nullptr;
    CloseOutlookConnection();
    ShowConnectionError(L"Failure to Obtain Contacts Folder");
    return 0;
}

void CloseOutlookConnection()
{
    if (contactsFolder) {
        contactsFolder->Release();
        contactsFolder = nullptr;
    }
    if (outlookApp) {
        outlookApp->Logoff();
        outlookApp->Release();
        outlookApp = nullptr;
        CoUninitialize();
    }
    outlookLoggedOn = 0;
}

IContact* FetchContact(CEOID oid)
{
    if (!outlookApp || !outlookLoggedOn)
        return nullptr;
    IDispatch* item = nullptr;
    if (FAILED(outlookApp->GetItemFromOid(static_cast<long>(oid), &item)))
        return nullptr;
    return AsContact(item);
}

int ContactExists(CEOID oid)
{
    IContact* contact = FetchContact(oid);
    if (!contact)
        return 0;
    contact->Release();
    return 1;
}
