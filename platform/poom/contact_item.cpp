#include "platform/poom/poom_objects.h"

#include <oleauto.h>

namespace poom {

namespace {

HRESULT Copy(const std::wstring& text, BSTR* out)
{
    if (!out)
        return E_POINTER;
    *out = SysAllocStringLen(text.c_str(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

std::wstring Trimmed(const std::wstring& s)
{
    const size_t b = s.find_first_not_of(L" \t");
    if (b == std::wstring::npos)
        return L"";
    return s.substr(b, s.find_last_not_of(L" \t") - b + 1);
}

}  // namespace

Contact::Contact(Application* owner, const ContactData& contact)
    : app(owner), own(std::make_unique<ContactData>(contact))
{
    app->AddRef();
}

Contact::Contact(Application* owner, std::shared_ptr<const ContactData> contact) : app(owner), shared(std::move(contact))
{
    app->AddRef();
}

ContactData& Contact::WritableData()
{
    if (!own)
        own = std::make_unique<ContactData>(*shared);
    return *own;
}

Contact::~Contact()
{
    app->Release();
}

HRESULT Contact::QueryInterface(REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID_IContact)) {
        AddRef();
        *out = static_cast<IContact*>(this);
        return S_OK;
    }
    if (IsEqualIID(riid, IID_IContactExchange)) {
        AddRef();
        *out = static_cast<IContactExchange*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT Contact::GetText(int property, BSTR* value)
{
    return Copy(*Data().Text(property), value);
}

HRESULT Contact::PutText(int property, BSTR value)
{
    ContactData& data = WritableData();
    (property < kTextProperties ? data.text[property] : data.More(property)) = value ? value : L"";
    return S_OK;
}

HRESULT Contact::get_Categories(BSTR* value)
{
    return Copy(Data().categories, value);
}

HRESULT Contact::put_Categories(BSTR value)
{
    // Kept in the device's spelling: names separated by a comma and a blank.
    std::wstring list;
    for (const auto& name : SplitCategories(value ? value : L""))
        list += (list.empty() ? L"" : L", ") + name;
    WritableData().categories = list;
    return S_OK;
}

HRESULT Contact::GetDate(DATE ContactData::*date, DATE* value)
{
    if (!value)
        return E_POINTER;
    *value = Data().*date;
    return S_OK;
}

HRESULT Contact::PutDate(DATE ContactData::*date, DATE value)
{
    WritableData().*date = value;
    return S_OK;
}

HRESULT Contact::get_Birthday(DATE* value) { return GetDate(&ContactData::birthday, value); }
HRESULT Contact::put_Birthday(DATE value) { return PutDate(&ContactData::birthday, value); }
HRESULT Contact::get_Anniversary(DATE* value) { return GetDate(&ContactData::anniversary, value); }
HRESULT Contact::put_Anniversary(DATE value) { return PutDate(&ContactData::anniversary, value); }

HRESULT Contact::get_Oid(long* oid)
{
    if (!oid)
        return E_POINTER;
    *oid = static_cast<long>(Data().oid);
    return S_OK;
}

HRESULT Contact::Save()
{
    ContactData& data = WritableData();
    // Like the device, a contact saved without a FileAs is filed under its
    // name, or its company when it has none.
    if (Trimmed(data.text[0]).empty()) {
        const std::wstring first = Trimmed(data.text[1]), last = Trimmed(data.text[2]);
        if (!last.empty() && !first.empty())
            data.text[0] = last + L", " + first;
        else if (!last.empty() || !first.empty())
            data.text[0] = last + first;
        else
            data.text[0] = Trimmed(data.text[4]);
    }
    const CEOID oid = SaveContactRecord(data);
    if (!oid)
        return E_FAIL;
    data.oid = oid;
    AddCategoryNames(SplitCategories(data.categories));
    return S_OK;
}

HRESULT Contact::Delete()
{
    if (!Data().oid || !DeleteContactRecord(Data().oid))
        return E_FAIL;
    WritableData().oid = 0;
    return S_OK;
}

HRESULT Contact::Display()
{
    ContactData current;
    if (Data().oid && !LoadContact(Data().oid, current))
        return E_FAIL;
    return ShowContactCard(this, app->Owner());
}

HRESULT Contact::get_Application(IPOutlookApp** out)
{
    if (!out)
        return E_POINTER;
    app->AddRef();
    *out = app;
    return S_OK;
}

HRESULT Contact::get_Uid(BSTR* value)
{
    return Copy(Data().uid, value);
}

HRESULT Contact::put_Uid(BSTR value)
{
    WritableData().uid = value ? value : L"";
    return S_OK;
}

}  // namespace poom
