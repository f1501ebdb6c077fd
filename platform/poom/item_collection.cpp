#include "platform/poom/poom_objects.h"

#include <algorithm>
#include <string>

namespace poom {

namespace {

const std::wstring& TextOf(const ContactData& c, int property)
{
    static const std::wstring none;
    const std::wstring* text = c.Text(property);
    return text ? *text : none;
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
    std::vector<size_t> rows(items.size());
    std::vector<std::string> keys;
    for (size_t i = 0; i < items.size(); ++i) {
        rows[i] = i;
        if (!IsDateProperty(property))
            keys.push_back(SortKey(TextOf(items[i], property)));
    }
    OrderRows(rows, items, keys, property, descending);
    std::vector<ContactData> sorted;
    sorted.reserve(items.size());
    for (size_t i : rows)
        sorted.push_back(std::move(items[i]));
    items = std::move(sorted);
}

bool RestrictRows(const std::vector<ContactData>& contacts, const std::vector<size_t>& rows,
                  const std::wstring& restriction, std::vector<size_t>& kept)
{
    size_t pos = 0;
    SkipBlanks(restriction, pos);
    const size_t close = restriction.find(L']', pos);
    if (pos >= restriction.size() || restriction[pos] != L'[' || close == std::wstring::npos)
        return false;
    const int property = PropertyFromName(restriction.substr(pos, close - pos + 1));
    if (property < 0 || IsDateProperty(property))
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
    const std::vector<std::wstring> wanted = SplitCategories(value);
    for (size_t row : rows) {
        const ContactData& contact = contacts[row];
        bool match = false;
        if (property == kCategories) {
            for (const auto& have : SplitCategories(contact.categories))
                for (const auto& want : wanted)
                    match = match || SameText(have, want);
        } else {
            match = SameText(TextOf(contact, property), value);
        }
        if (match)
            kept.push_back(row);
    }
    return true;
}

ItemCollection::ItemCollection(Application* owner, std::shared_ptr<const ContactSnapshot> contacts,
                               std::vector<size_t> listed)
    : app(owner), snapshot(std::move(contacts)), rows(std::move(listed))
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
    *count = static_cast<int>(rows.size());
    return S_OK;
}

HRESULT ItemCollection::Item(int index, IDispatch** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (index < 1 || static_cast<size_t>(index) > rows.size())
        return E_INVALIDARG;
    // Shares the snapshot's record: a listing visits every contact.
    const ContactData* contact = &snapshot->Contacts()[rows[index - 1]];
    *out = static_cast<IContact*>(new Contact(app, std::shared_ptr<const ContactData>(snapshot, contact)));
    return S_OK;
}

HRESULT ItemCollection::Remove(int index)
{
    if (index < 1 || static_cast<size_t>(index) > rows.size())
        return E_INVALIDARG;
    if (!DeleteContactRecord(snapshot->Contacts()[rows[index - 1]].oid))
        return E_FAIL;
    rows.erase(rows.begin() + (index - 1));
    return S_OK;
}

HRESULT ItemCollection::Restrict(BSTR restriction, IPOutlookItemCollection** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    std::vector<size_t> kept;
    if (!restriction || !RestrictRows(snapshot->Contacts(), rows, restriction, kept))
        return E_INVALIDARG;
    *out = new ItemCollection(app, snapshot, std::move(kept));
    return S_OK;
}

HRESULT ItemCollection::Sort(BSTR property, VARIANT_BOOL descending)
{
    const int index = property ? PropertyFromName(property) : -1;
    if (index < 0)
        return E_INVALIDARG;
    OrderRows(rows, snapshot->Contacts(), snapshot->SortKeys(index), index, descending != VARIANT_FALSE);
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
