#include "platform/poom/poom_objects.h"

#include <algorithm>
#include <string>

namespace poom {

namespace {

// Text order as the device lists contacts: by the user's locale, ignoring
// letter case. The locale's sort key of a text compares byte by byte as the
// locale compares the texts themselves; one key per contact is far cheaper
// than a locale comparison for each of the sort's n log n steps.
std::string SortKey(const std::wstring& text)
{
    const int length = static_cast<int>(text.size());
    const int size = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, text.c_str(), length,
                                  nullptr, 0);
    std::string key(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, text.c_str(), length,
                     reinterpret_cast<LPWSTR>(&key[0]), size);
    return key;
}

const std::wstring& TextOf(const ContactData& c, int property)
{
    return property == kCategories ? c.categories : c.text[property];
}

bool SameText(const std::wstring& a, const std::wstring& b)
{
    return lstrcmpiW(a.c_str(), b.c_str()) == 0;
}

void SkipBlanks(const std::wstring& s, size_t& pos)
{
    while (pos < s.size() && (s[pos] == L' ' || s[pos] == L'\t'))
        ++pos;
}

}  // namespace

void SortContacts(std::vector<ContactData>& items, int property, bool descending)
{
    std::vector<size_t> order(items.size());
    std::vector<std::string> keys;
    for (size_t i = 0; i < items.size(); ++i) {
        order[i] = i;
        if (property != kBirthday)
            keys.push_back(SortKey(TextOf(items[i], property)));
    }
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        int sign;
        if (property == kBirthday)
            sign = items[a].birthday < items[b].birthday ? -1 : (items[a].birthday > items[b].birthday ? 1 : 0);
        else
            sign = keys[a].compare(keys[b]);
        return descending ? sign > 0 : sign < 0;
    });
    std::vector<ContactData> sorted;
    sorted.reserve(items.size());
    for (size_t i : order)
        sorted.push_back(std::move(items[i]));
    items = std::move(sorted);
}

bool RestrictContacts(const std::vector<ContactData>& items, const std::wstring& restriction,
                      std::vector<ContactData>& kept)
{
    size_t pos = 0;
    SkipBlanks(restriction, pos);
    const size_t close = restriction.find(L']', pos);
    if (pos >= restriction.size() || restriction[pos] != L'[' || close == std::wstring::npos)
        return false;
    const int property = PropertyFromName(restriction.substr(pos, close - pos + 1));
    if (property < 0 || property == kBirthday)
        return false;
    pos = close + 1;
    SkipBlanks(restriction, pos);
    if (pos >= restriction.size() || restriction[pos] != L'=')
        return false;
    ++pos;
    SkipBlanks(restriction, pos);
    if (pos >= restriction.size() || restriction[pos] != L'"')
        return false;
    // Inside the quotes a doubled quote stands for one.
    std::wstring value;
    for (++pos;; ++pos) {
        if (pos >= restriction.size())
            return false;
        if (restriction[pos] == L'"') {
            if (pos + 1 < restriction.size() && restriction[pos + 1] == L'"') {
                value += L'"';
                ++pos;
                continue;
            }
            break;
        }
        value += restriction[pos];
    }
    ++pos;
    SkipBlanks(restriction, pos);
    if (pos != restriction.size())
        return false;

    kept.clear();
    if (property == kCategories) {
        const std::vector<std::wstring> wanted = SplitCategories(value);
        for (const auto& item : items) {
            bool match = false;
            for (const auto& have : SplitCategories(item.categories))
                for (const auto& want : wanted)
                    match = match || SameText(have, want);
            if (match)
                kept.push_back(item);
        }
    } else {
        for (const auto& item : items)
            if (SameText(item.text[property], value))
                kept.push_back(item);
    }
    return true;
}

ItemCollection::ItemCollection(Application* owner, std::vector<ContactData> contacts)
    : app(owner), items(std::move(contacts))
{
    app->AddRef();
}

ItemCollection::~ItemCollection()
{
    app->Release();
}

HRESULT ItemCollection::QueryInterface(REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, IID_IPOutlookItemCollection)) {
        AddRef();
        *out = static_cast<IPOutlookItemCollection*>(this);
        return S_OK;
    }
    if (IsEqualIID(riid, IID_IPOlItems)) {
        AddRef();
        *out = static_cast<IPOlItems*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT ItemCollection::Add(IDispatch** out)
{
    return app->CreateItem(olContactItem, out);
}

HRESULT ItemCollection::get_Count(int* count)
{
    if (!count)
        return E_POINTER;
    *count = static_cast<int>(items.size());
    return S_OK;
}

HRESULT ItemCollection::Item(int index, IDispatch** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (index < 1 || static_cast<size_t>(index) > items.size())
        return E_INVALIDARG;
    *out = static_cast<IContact*>(new Contact(app, items[index - 1]));
    return S_OK;
}

HRESULT ItemCollection::Remove(int index)
{
    if (index < 1 || static_cast<size_t>(index) > items.size())
        return E_INVALIDARG;
    if (!DeleteContactRecord(items[index - 1].oid))
        return E_FAIL;
    items.erase(items.begin() + (index - 1));
    return S_OK;
}

HRESULT ItemCollection::Restrict(BSTR restriction, IPOutlookItemCollection** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    std::vector<ContactData> kept;
    if (!restriction || !RestrictContacts(items, restriction, kept))
        return E_INVALIDARG;
    *out = new ItemCollection(app, std::move(kept));
    return S_OK;
}

HRESULT ItemCollection::Sort(BSTR property, VARIANT_BOOL descending)
{
    const int index = property ? PropertyFromName(property) : -1;
    if (index < 0)
        return E_INVALIDARG;
    SortContacts(items, index, descending != VARIANT_FALSE);
    return S_OK;
}

HRESULT ItemCollection::get_Application(IPOutlookApp** out)
{
    if (!out)
        return E_POINTER;
    app->AddRef();
    *out = app;
    return S_OK;
}

HRESULT ItemCollection::SetColumns(BSTR list)
{
    // Every property is loaded anyway; the list is kept for those who ask.
    columns = list ? list : L"";
    return S_OK;
}

}  // namespace poom
