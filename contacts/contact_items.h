// What the contact source's files share: a contact fetched from an item
// and the strings the contact store hands out. Inside contacts/ only.
#pragma once
#include "contacts/contact_source.h"

// A BSTR received from the contact store, released at the end of its scope.
struct ReceivedString {
    BSTR text = nullptr;
    ~ReceivedString()
    {
        if (text && outlookApp)
            outlookApp->SysFreeString(text);
    }
    const wchar_t* Text() const { return text ? text : L""; }
};

// The item's contact interface, releasing the item; null when it is none.
IContact* AsContact(IDispatch* item);
