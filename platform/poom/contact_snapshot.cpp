#include "platform/poom/contact_snapshot.h"

#include <windows.h>

#include <algorithm>

#include "platform/cedb/change_stamp.h"

namespace poom {

const std::vector<std::string>& ContactSnapshot::SortKeys(int property) const
{
    static const std::vector<std::string> none;
    if (property < 0 || property >= kPropertyCount || IsDateProperty(property))
        return none;
    if (!keyed_[property]) {
        keys_[property].reserve(contacts_.size());
        for (const ContactData& contact : contacts_)
            keys_[property].push_back(SortKey(*contact.Text(property)));
        keyed_[property] = true;
    }
    return keys_[property];
}

const ContactData* ContactSnapshot::Find(CEOID oid) const
{
    if (rowOf_.empty() && !contacts_.empty()) {
        rowOf_.reserve(contacts_.size());
        for (size_t row = 0; row < contacts_.size(); ++row)
            rowOf_.emplace(contacts_[row].oid, row);
    }
    const auto found = rowOf_.find(oid);
    return found == rowOf_.end() ? nullptr : &contacts_[found->second];
}

namespace {

std::shared_ptr<const ContactSnapshot> lastSnapshot;
unsigned long long lastSnapshotStamp = 0;

}  // namespace

std::shared_ptr<const ContactSnapshot> CurrentContacts()
{
    const unsigned long long stamp = CedbChangeStamp();
    if (lastSnapshot && stamp == lastSnapshotStamp)
        return lastSnapshot;
    std::vector<ContactData> contacts;
    if (!LoadAllContacts(contacts))
        return nullptr;
    lastSnapshot = std::make_shared<const ContactSnapshot>(std::move(contacts));
    lastSnapshotStamp = stamp;
    return lastSnapshot;
}

std::shared_ptr<const ContactData> CurrentContact(CEOID oid)
{
    if (!lastSnapshot || CedbChangeStamp() != lastSnapshotStamp)
        return nullptr;
    const ContactData* contact = lastSnapshot->Find(oid);
    return contact ? std::shared_ptr<const ContactData>(lastSnapshot, contact) : nullptr;
}

std::string SortKey(const std::wstring& text)
{
    const int length = static_cast<int>(text.size());
    const int size =
        LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, text.c_str(), length, nullptr, 0);
    std::string key(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, text.c_str(), length,
                     reinterpret_cast<LPWSTR>(&key[0]), size);
    return key;
}

void OrderRows(std::vector<size_t>& rows, const std::vector<ContactData>& contacts,
               const std::vector<std::string>& keys, int property, bool descending)
{
    std::stable_sort(rows.begin(), rows.end(), [&](size_t a, size_t b) {
        int sign;
        if (IsDateProperty(property)) {
            const DATE x = property == kBirthday ? contacts[a].birthday : contacts[a].anniversary;
            const DATE y = property == kBirthday ? contacts[b].birthday : contacts[b].anniversary;
            sign = x < y ? -1 : (x > y ? 1 : 0);
        }
        else {
            sign = keys[a].compare(keys[b]);
        }
        return descending ? sign > 0 : sign < 0;
    });
}

}  // namespace poom
