// The folder's contacts as last read from the object store, shared by every
// collection listed from them until the store changes. A contacts list asks
// for the whole folder on each refill; reading and ordering 5,000 records
// each time would cost more than everything else the refill does.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/poom/contact_records.h"

namespace poom {

class ContactSnapshot {
public:
    explicit ContactSnapshot(std::vector<ContactData> contacts) : contacts_(std::move(contacts)) {}

    const std::vector<ContactData>& Contacts() const { return contacts_; }
    // The locale sort key of each contact's text property, made on first use.
    const std::vector<std::string>& SortKeys(int property) const;

private:
    std::vector<ContactData> contacts_;
    mutable std::vector<std::string> keys_[kPropertyCount];
    mutable bool keyed_[kPropertyCount] = {};
};

// The current contacts: the last snapshot while nothing in the store has
// changed since it was read, a new one otherwise; null when the store cannot
// be read.
std::shared_ptr<const ContactSnapshot> CurrentContacts();

// Text order as the device lists contacts: by the user's locale, ignoring
// letter case. The key of a text compares byte by byte as the locale
// compares the texts.
std::string SortKey(const std::wstring& text);

// Orders rows (indices into contacts) by a property: text by its sort keys
// (keys holds one per contact), dates by value; ties keep their order.
void OrderRows(std::vector<size_t>& rows, const std::vector<ContactData>& contacts,
               const std::vector<std::string>& keys, int property, bool descending);

}  // namespace poom
