// The contacts and categories as records of the device's object store.
#pragma once
#include <windows.h>
#include <wtypes.h>

#include <string>
#include <vector>

#include "platform/cedb/windbase.h"
#include "platform/poom/pimstore.h"

namespace poom {

constexpr wchar_t kContactsDatabase[] = L"Contacts Database";
constexpr wchar_t kCategoriesDatabase[] = L"Categories Database";

// The text properties, in the order of the program's contact field
// catalogue; the birthday (catalogue field 20) and categories follow. The
// rest of the object model's properties come after them, so that a record
// stored before they existed keeps its property ids and loads unchanged.
constexpr int kTextProperties = 20;
enum Property {
    kBirthday = kTextProperties,
    kCategories,
#define POOM_PROPERTY_ID(name) k##name,
    POOM_CONTACT_MORE_TEXT_PROPERTIES(POOM_PROPERTY_ID)
#undef POOM_PROPERTY_ID
    kCardExtras,  // a card's lines that no property holds, kept to be written back
    kAnniversary,
    kPropertyCount,
};
constexpr int kFirstMoreProperty = kCategories + 1;
constexpr int kMoreTextProperties = kAnniversary - kFirstMoreProperty;

// The longest text one property of a record holds.
constexpr size_t kLongestText = (CEDB_MAXPROPDATASIZE - sizeof(wchar_t)) / sizeof(wchar_t);

inline bool IsDateProperty(int property)
{
    return property == kBirthday || property == kAnniversary;
}

// Property name as the object model spells it, without brackets ("FileAs").
const wchar_t* PropertyName(int property);
// Index of a property name, with or without brackets, ignoring letter case;
// -1 when unknown.
int PropertyFromName(const std::wstring& name);

struct ContactData {
    CEOID oid = 0;
    std::wstring text[kTextProperties];
    DATE birthday = 949998.0;
    std::wstring categories;  // "A, B"
    std::wstring uid;
    std::wstring more[kMoreTextProperties];  // from kFirstMoreProperty on
    DATE anniversary = 949998.0;

    // The text of a text property, categories included; null for a date.
    const std::wstring* Text(int property) const;
    std::wstring& More(int property) { return more[property - kFirstMoreProperty]; }
    const std::wstring& More(int property) const { return more[property - kFirstMoreProperty]; }
};

// Creates both databases when missing. False when the store cannot be used.
bool EnsureContactDatabases();
bool LoadAllContacts(std::vector<ContactData>& contacts);
bool LoadContact(CEOID oid, ContactData& contact);
// Writes the contact (a new record when oid is 0) and returns its oid, or 0.
CEOID SaveContactRecord(const ContactData& contact);
bool DeleteContactRecord(CEOID oid);
// Closes the handle that single-contact reads and writes share.
void ReleaseContactsHandle();

// Category names split from a contact's list, blanks trimmed, empties dropped.
std::vector<std::wstring> SplitCategories(const std::wstring& list);
// Whether the device keeps `name` whole as one category: 1 to 29 characters
// (its category lists hold 30 with the terminator) and no comma, which
// separates the names of a contact's list.
bool IsCategoryName(const std::wstring& name);
std::vector<std::wstring> LoadCategoryNames();
// Adds each name that the categories database does not hold yet.
bool AddCategoryNames(const std::vector<std::wstring>& names);

}  // namespace poom
