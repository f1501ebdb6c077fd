#include "platform/poom/contact_records.h"

#include <cwctype>

namespace poom {

namespace {

constexpr CEPROPID TextPropId(int index)
{
    return static_cast<CEPROPID>((0x4000 + index) << 16 | CEVT_LPWSTR);
}
constexpr CEPROPID kBirthdayPropId = (0x4000 + kBirthday) << 16 | CEVT_R8;
constexpr CEPROPID kCategoriesPropId = (0x4000 + kCategories) << 16 | CEVT_LPWSTR;
constexpr CEPROPID kAnniversaryPropId = (0x4000 + kAnniversary) << 16 | CEVT_R8;
constexpr CEPROPID kUidPropId = 0x4100 << 16 | CEVT_LPWSTR;
constexpr CEPROPID kCategoryNamePropId = 0x4200 << 16 | CEVT_LPWSTR;

const wchar_t* const kNames[kPropertyCount] = {
    L"FileAs", L"FirstName", L"LastName", L"JobTitle", L"CompanyName",
    L"BusinessAddressStreet", L"BusinessAddressCity", L"BusinessAddressState",
    L"BusinessAddressPostalCode", L"BusinessTelephoneNumber", L"Business2TelephoneNumber",
    L"MobileTelephoneNumber", L"HomeTelephoneNumber", L"BusinessFaxNumber",
    L"Email1Address", L"Email2Address", L"Email3Address", L"WebPage",
    L"OfficeLocation", L"Department", L"Birthday", L"Categories",
#define POOM_PROPERTY_NAME(name) L## #name,
    POOM_CONTACT_MORE_TEXT_PROPERTIES(POOM_PROPERTY_NAME)
#undef POOM_PROPERTY_NAME
    L"CardExtras", L"Anniversary",
};

CEGUID ObjectStore()
{
    CEGUID guid;
    CREATE_SYSTEMGUID(&guid);
    return guid;
}

bool CreateDatabase(const wchar_t* name, CEPROPID sortProperty)
{
    CEGUID store = ObjectStore();
    CEOID oid = 0;
    HANDLE existing = CeOpenDatabaseEx(&store, &oid, const_cast<LPWSTR>(name), 0, 0, nullptr);
    if (existing != INVALID_HANDLE_VALUE) {
        CloseHandle(existing);
        return true;
    }
    CEDBASEINFO info = {};
    info.dwFlags = CEDB_VALIDNAME | CEDB_VALIDSORTSPEC;
    lstrcpynW(info.szDbaseName, name, CEDB_MAXDBASENAMELEN);
    info.wNumSortOrder = 1;
    info.rgSortSpecs[0].propid = sortProperty;
    info.rgSortSpecs[0].dwFlags = CEDB_SORT_CASEINSENSITIVE;
    return CeCreateDatabaseEx(&store, &info) != 0;
}

HANDLE Open(const wchar_t* name, DWORD flags = 0)
{
    CEGUID store = ObjectStore();
    CEOID oid = 0;
    return CeOpenDatabaseEx(&store, &oid, const_cast<LPWSTR>(name), 0, flags, nullptr);
}

// One handle on the contacts database serves every single-contact read and
// write: the contacts list fetches a contact for each cell it paints, and an
// open makes a kernel object each time. Logoff lets it go.
HANDLE g_contacts = INVALID_HANDLE_VALUE;

HANDLE Contacts()
{
    if (g_contacts == INVALID_HANDLE_VALUE)
        g_contacts = Open(kContactsDatabase);
    return g_contacts;
}

// A handle that stopped working (the store went away underneath) is
// replaced once.
template <class Use>
auto WithContacts(Use use) -> decltype(use(HANDLE()))
{
    HANDLE db = Contacts();
    auto result = use(db);
    if (!result && db != INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_HANDLE) {
        ReleaseContactsHandle();
        result = use(Contacts());
    }
    return result;
}

void Fill(ContactData& contact, CEOID oid, const CEPROPVAL* values, WORD count)
{
    contact = ContactData{};
    contact.oid = oid;
    for (WORD i = 0; i < count; ++i) {
        const CEPROPVAL& v = values[i];
        if (v.wFlags & CEDB_PROPNOTFOUND)
            continue;
        const int property = static_cast<int>(v.propid >> 16) - 0x4000;
        if (v.propid == kBirthdayPropId) {
            contact.birthday = v.val.dblVal;
        } else if (v.propid == kAnniversaryPropId) {
            contact.anniversary = v.val.dblVal;
        } else if (TypeFromPropID(v.propid) == CEVT_LPWSTR && v.val.lpwstr) {
            if (v.propid == kUidPropId)
                contact.uid = v.val.lpwstr;
            else if (property >= 0 && property < kTextProperties)
                contact.text[property] = v.val.lpwstr;
            else if (property == kCategories)
                contact.categories = v.val.lpwstr;
            else if (property >= kFirstMoreProperty && property < kAnniversary)
                contact.More(property) = v.val.lpwstr;
        }
    }
}

// Calls read with the properties of every record of the database, in the
// database's order. False when the database cannot be opened.
template <class Read>
bool ForEachRecord(const wchar_t* name, Read read)
{
    HANDLE db = Open(name, CEDB_AUTOINCREMENT);
    if (db == INVALID_HANDLE_VALUE)
        return false;
    LPBYTE buffer = nullptr;
    DWORD size = 0;
    DWORD index = 0;
    WORD count = 0;
    if (CeSeekDatabaseEx(db, CEDB_SEEK_BEGINNING, 0, 0, &index)) {
        CEOID oid;
        while ((oid = CeReadRecordPropsEx(db, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size, nullptr)) != 0)
            read(oid, reinterpret_cast<const CEPROPVAL*>(buffer), count);
    }
    if (buffer)
        LocalFree(buffer);
    CloseHandle(db);
    return true;
}

std::wstring Trim(const std::wstring& s)
{
    size_t b = 0, e = s.size();
    while (b < e && std::iswspace(s[b]))
        ++b;
    while (e > b && std::iswspace(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

CEOID WriteContact(HANDLE db, const ContactData& contact)
{
    if (db == INVALID_HANDLE_VALUE)
        return 0;
    CEPROPVAL values[kPropertyCount + 1] = {};
    WORD count = 0;
    auto text = [&](CEPROPID id, const std::wstring& value) {
        values[count].propid = id;
        values[count++].val.lpwstr = const_cast<LPWSTR>(value.c_str());
    };
    auto date = [&](CEPROPID id, DATE value) {
        values[count].propid = id;
        values[count++].val.dblVal = value;
    };
    for (int f = 0; f < kTextProperties; ++f)
        text(TextPropId(f), contact.text[f]);
    date(kBirthdayPropId, contact.birthday);
    text(kCategoriesPropId, contact.categories);
    text(kUidPropId, contact.uid);
    // A new record leaves out what it does not have, as most contacts have
    // few of these; an update writes them all, to clear what was removed.
    for (int p = kFirstMoreProperty; p < kAnniversary; ++p)
        if (contact.oid || !contact.More(p).empty())
            text(TextPropId(p), contact.More(p));
    if (contact.oid || contact.anniversary != 949998.0)
        date(kAnniversaryPropId, contact.anniversary);
    return CeWriteRecordProps(db, contact.oid, count, values);
}

}  // namespace

const std::wstring* ContactData::Text(int property) const
{
    if (property >= 0 && property < kTextProperties)
        return &text[property];
    if (property == kCategories)
        return &categories;
    if (property >= kFirstMoreProperty && property < kAnniversary)
        return &More(property);
    return nullptr;
}

const wchar_t* PropertyName(int property)
{
    return property >= 0 && property < kPropertyCount ? kNames[property] : L"";
}

int PropertyFromName(const std::wstring& name)
{
    std::wstring bare = Trim(name);
    if (bare.size() >= 2 && bare.front() == L'[' && bare.back() == L']')
        bare = bare.substr(1, bare.size() - 2);
    for (int p = 0; p < kPropertyCount; ++p)
        if (lstrcmpiW(bare.c_str(), kNames[p]) == 0)
            return p;
    return -1;
}

bool EnsureContactDatabases()
{
    return CreateDatabase(kContactsDatabase, TextPropId(0)) &&
           CreateDatabase(kCategoriesDatabase, kCategoryNamePropId);
}

bool LoadAllContacts(std::vector<ContactData>& contacts)
{
    contacts.clear();
    return ForEachRecord(kContactsDatabase, [&](CEOID oid, const CEPROPVAL* values, WORD count) {
        contacts.emplace_back();
        Fill(contacts.back(), oid, values, count);
    });
}

void ReleaseContactsHandle()
{
    if (g_contacts != INVALID_HANDLE_VALUE)
        CloseHandle(g_contacts);
    g_contacts = INVALID_HANDLE_VALUE;
}

bool LoadContact(CEOID oid, ContactData& contact)
{
    if (!oid)
        return false;
    return WithContacts([&](HANDLE db) {
        if (db == INVALID_HANDLE_VALUE)
            return false;
        LPBYTE buffer = nullptr;
        DWORD size = 0;
        WORD count = 0;
        // No position asked for: counting it walks the sort order.
        const bool found =
            CeSeekDatabaseEx(db, CEDB_SEEK_CEOID, oid, 0, nullptr) == oid &&
            CeReadRecordPropsEx(db, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size, nullptr) == oid;
        const DWORD error = GetLastError();
        if (found)
            Fill(contact, oid, reinterpret_cast<const CEPROPVAL*>(buffer), count);
        if (buffer)
            LocalFree(buffer);
        SetLastError(error);
        return found;
    });
}

CEOID SaveContactRecord(const ContactData& contact)
{
    return WithContacts([&](HANDLE db) { return WriteContact(db, contact); });
}

bool DeleteContactRecord(CEOID oid)
{
    return oid && WithContacts([&](HANDLE db) { return db != INVALID_HANDLE_VALUE && CeDeleteRecord(db, oid); });
}

std::vector<std::wstring> SplitCategories(const std::wstring& list)
{
    std::vector<std::wstring> names;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(L',', start);
        if (comma == std::wstring::npos)
            comma = list.size();
        std::wstring name = Trim(list.substr(start, comma - start));
        if (!name.empty())
            names.push_back(name);
        start = comma + 1;
    }
    return names;
}

bool IsCategoryName(const std::wstring& name)
{
    return !name.empty() && name.size() <= 29 && name.find(L',') == std::wstring::npos;
}

std::vector<std::wstring> LoadCategoryNames()
{
    std::vector<std::wstring> names;
    ForEachRecord(kCategoriesDatabase, [&](CEOID, const CEPROPVAL* values, WORD count) {
        for (WORD i = 0; i < count; ++i)
            if (TypeFromPropID(values[i].propid) == CEVT_LPWSTR && values[i].val.lpwstr &&
                !(values[i].wFlags & CEDB_PROPNOTFOUND))
                names.push_back(values[i].val.lpwstr);
    });
    return names;
}

bool AddCategoryNames(const std::vector<std::wstring>& names)
{
    std::vector<std::wstring> known = LoadCategoryNames();
    HANDLE db = INVALID_HANDLE_VALUE;
    bool ok = true;
    for (const auto& name : names) {
        bool present = false;
        for (const auto& k : known)
            present = present || lstrcmpiW(k.c_str(), name.c_str()) == 0;
        if (present || name.empty())
            continue;
        if (db == INVALID_HANDLE_VALUE)
            db = Open(kCategoriesDatabase);
        if (db == INVALID_HANDLE_VALUE)
            return false;
        CEPROPVAL value = {};
        value.propid = kCategoryNamePropId;
        value.val.lpwstr = const_cast<LPWSTR>(name.c_str());
        ok = CeWriteRecordProps(db, 0, 1, &value) != 0 && ok;
        known.push_back(name);
    }
    if (db != INVALID_HANDLE_VALUE)
        CloseHandle(db);
    return ok;
}

}  // namespace poom
