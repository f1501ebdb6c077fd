// The folder's contacts as last read from the object store, shared by every
// collection listed from them until the store changes. A contacts list asks
// for the whole folder on each refill; reading and ordering 5,000 records
// each time would cost more than everything else the refill does.
#pragma once
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/poom/contact_records.h"

namespace poom {

class ContactSnapshot {
public:
    explicit ContactSnapshot(std::vector<ContactData> contacts) : contacts_(std::move(contacts)) {}

    const std::vector<ContactData>& Contacts() const { return contacts_; }
    // The locale sort key of each contact's text property, made on first use.
    const std::vector<std::string>& SortKeys(int property) const;
    // The contact with that oid, null when the snapshot has none.
    const ContactData* Find(CEOID oid) const;

private:
    std::vector<ContactData> contacts_;
    mutable std::unordered_map<CEOID, size_t> rowOf_;
    mutable std::vector<std::string> keys_[kPropertyCount];
    mutable bool keyed_[kPropertyCount] = {};
};

// The current contacts: the last snapshot while nothing in the store has
// changed since it was read, a new one otherwise; null when the store cannot
// be read.
std::shared_ptr<const ContactSnapshot> CurrentContacts();
// One contact of the last snapshot while that is still current, sharing its
// record; null otherwise (the caller then reads the one record itself, as a
// whole new snapshot would cost far more).
std::shared_ptr<const ContactData> CurrentContact(CEOID oid);

// Text order as the device lists contacts: by the user's locale, ignoring
// letter case. The key of a text compares byte by byte as the locale
// compares the texts.
std::string SortKey(const std::wstring& text);

// Orders rows (indices into contacts) by a property: text by its sort keys
// (keys holds one per contact), dates by value; ties keep their order.
void OrderRows(std::vector<size_t>& rows, const std::vector<ContactData>& contacts,
               const std::vector<std::string>& keys, int property, bool descending);

}  // namespace poom
