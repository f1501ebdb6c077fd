// The device's contacts as a test sets them: one store serves every scenario
// of an executable, so each test empties it first, then adds whom it needs.
#pragma once
#include "platform/poom/contact_records.h"

#include <map>
#include <string>
#include <vector>

// False when the contact databases cannot be made.
inline bool EmptyDeviceContacts()
{
    if (!poom::EnsureContactDatabases())
        return false;
    std::vector<poom::ContactData> all;
    poom::LoadAllContacts(all);
    for (const poom::ContactData& contact : all)
        poom::DeleteContactRecord(contact.oid);
    return true;
}

// A contact by its FileAs, with further text fields by their index.
inline CEOID AddDeviceContact(const std::wstring& fileAs, const std::map<int, std::wstring>& fields = {},
                              const std::wstring& categories = L"")
{
    poom::ContactData contact;
    contact.text[0] = fileAs;
    for (const auto& field : fields)
        contact.text[field.first] = field.second;
    contact.categories = categories;
    return poom::SaveContactRecord(contact);
}
