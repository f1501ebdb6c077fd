// The stand-in's COM classes. Each object counts its own references; the
// IDispatch members report that no type information is offered, as callers
// bind to the vtables directly.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/poom/contact_records.h"
#include "platform/poom/contact_snapshot.h"
#include "platform/poom/pimstore.h"
#include "platform/poom/poom_server.h"

namespace poom {

template <class Interface>
class DispatchObject : public Interface {
public:
    virtual ~DispatchObject() = default;
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&refs);
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

protected:
    LONG refs = 1;
};

class Application;

// One contact: a snapshot of its record, changed in memory by the put_
// members and written by Save.
class Contact final : public DispatchObject<IContact>, public IContactExchange {
public:
    Contact(Application* app, const ContactData& data);
    // Shares a contact of a snapshot until a put_ member changes it.
    Contact(Application* app, std::shared_ptr<const ContactData> shared);
    ~Contact() override;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return DispatchObject<IContact>::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return DispatchObject<IContact>::Release(); }

#define POOM_TEXT(name, index)                                                             \
    HRESULT STDMETHODCALLTYPE get_##name(BSTR* value) override { return GetText(index, value); } \
    HRESULT STDMETHODCALLTYPE put_##name(BSTR value) override { return PutText(index, value); }
    POOM_TEXT(FileAs, 0)
    POOM_TEXT(FirstName, 1)
    POOM_TEXT(LastName, 2)
    POOM_TEXT(JobTitle, 3)
    POOM_TEXT(CompanyName, 4)
    POOM_TEXT(BusinessAddressStreet, 5)
    POOM_TEXT(BusinessAddressCity, 6)
    POOM_TEXT(BusinessAddressState, 7)
    POOM_TEXT(BusinessAddressPostalCode, 8)
    POOM_TEXT(BusinessTelephoneNumber, 9)
    POOM_TEXT(Business2TelephoneNumber, 10)
    POOM_TEXT(MobileTelephoneNumber, 11)
    POOM_TEXT(HomeTelephoneNumber, 12)
    POOM_TEXT(BusinessFaxNumber, 13)
    POOM_TEXT(Email1Address, 14)
    POOM_TEXT(Email2Address, 15)
    POOM_TEXT(Email3Address, 16)
    POOM_TEXT(WebPage, 17)
    POOM_TEXT(OfficeLocation, 18)
    POOM_TEXT(Department, 19)
#define POOM_MORE_TEXT(name) POOM_TEXT(name, k##name)
    POOM_CONTACT_MORE_TEXT_PROPERTIES(POOM_MORE_TEXT)
#undef POOM_MORE_TEXT
#undef POOM_TEXT
    HRESULT STDMETHODCALLTYPE get_Categories(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_Categories(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_Birthday(DATE* value) override;
    HRESULT STDMETHODCALLTYPE put_Birthday(DATE value) override;
    HRESULT STDMETHODCALLTYPE get_Anniversary(DATE* value) override;
    HRESULT STDMETHODCALLTYPE put_Anniversary(DATE value) override;
    HRESULT STDMETHODCALLTYPE get_Oid(long* oid) override;
    HRESULT STDMETHODCALLTYPE Save() override;
    HRESULT STDMETHODCALLTYPE Delete() override;
    HRESULT STDMETHODCALLTYPE Display() override;
    HRESULT STDMETHODCALLTYPE get_Application(IPOutlookApp** app) override;

    HRESULT STDMETHODCALLTYPE get_Uid(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_Uid(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_CardExtras(BSTR* value) override { return GetText(kCardExtras, value); }
    HRESULT STDMETHODCALLTYPE put_CardExtras(BSTR value) override { return PutText(kCardExtras, value); }

    const ContactData& Data() const { return own ? *own : *shared; }
    ContactData& WritableData();

private:
    // By property: the catalogue's text fields and the further ones.
    HRESULT GetText(int property, BSTR* value);
    HRESULT PutText(int property, BSTR value);
    HRESULT GetDate(DATE ContactData::*date, DATE* value);
    HRESULT PutDate(DATE ContactData::*date, DATE value);

    Application* app;
    std::shared_ptr<const ContactData> shared;
    std::unique_ptr<ContactData> own;  // made on the first change
};

class Application final : public DispatchObject<IPOutlookApp> {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    HRESULT STDMETHODCALLTYPE Logon(long hWnd) override;
    HRESULT STDMETHODCALLTYPE Logoff() override;
    HRESULT STDMETHODCALLTYPE get_Version(BSTR* version) override;
    HRESULT STDMETHODCALLTYPE GetDefaultFolder(int folder, IFolder** out) override;
    HRESULT STDMETHODCALLTYPE CreateItem(int type, IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE GetItemFromOid(long oid, IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE SysFreeString(BSTR text) override;
    HRESULT STDMETHODCALLTYPE VariantTimeToSystemTime(DATE date, SYSTEMTIME* time) override;
    HRESULT STDMETHODCALLTYPE SystemTimeToVariantTime(SYSTEMTIME* time, DATE* date) override;

    bool LoggedOn() const { return loggedOn; }
    HWND Owner() const { return owner; }

private:
    bool loggedOn = false;
    HWND owner = nullptr;
};

class Folder final : public DispatchObject<IFolder> {
public:
    explicit Folder(Application* app);
    ~Folder() override;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    HRESULT STDMETHODCALLTYPE get_Items(IPOutlookItemCollection** out) override;
    HRESULT STDMETHODCALLTYPE get_DefaultItemType(int* type) override;
    HRESULT STDMETHODCALLTYPE get_Application(IPOutlookApp** out) override;

private:
    Application* app;
};

// A snapshot of the folder's contacts, in the order of the last Sort.
class ItemCollection final : public DispatchObject<IPOutlookItemCollection>, public IPOlItems {
public:
    ItemCollection(Application* app, std::shared_ptr<const ContactSnapshot> contacts, std::vector<size_t> rows);
    ~ItemCollection() override;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return DispatchObject<IPOutlookItemCollection>::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return DispatchObject<IPOutlookItemCollection>::Release(); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        return DispatchObject<IPOutlookItemCollection>::GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE Add(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Count(int* count) override;
    HRESULT STDMETHODCALLTYPE Item(int index, IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE Remove(int index) override;
    HRESULT STDMETHODCALLTYPE Restrict(BSTR restriction, IPOutlookItemCollection** out) override;
    HRESULT STDMETHODCALLTYPE Sort(BSTR property, VARIANT_BOOL descending) override;
    HRESULT STDMETHODCALLTYPE get_Application(IPOutlookApp** out) override;
    HRESULT STDMETHODCALLTYPE SetColumns(BSTR columns) override;

    const std::wstring& Columns() const { return columns; }

private:
    Application* app;
    std::shared_ptr<const ContactSnapshot> snapshot;
    std::vector<size_t> rows;  // indices into the snapshot's contacts, in order
    std::wstring columns;
};

// Opens the modal contact card for the contact; returns when it is closed.
// The card saves what the user changed.
HRESULT ShowContactCard(Contact* contact, HWND owner);

// Orders contacts by a property: text ignoring letter case, dates by value;
// ties keep their previous order.
void SortContacts(std::vector<ContactData>& items, int property, bool descending);
// Parses "[Property] = "value"" and keeps the rows of the matching contacts;
// for [Categories] the value is a comma-separated list and any one of them
// matches. Returns false when the text is not a restriction it knows.
bool RestrictRows(const std::vector<ContactData>& contacts, const std::vector<size_t>& rows,
                  const std::wstring& restriction, std::vector<size_t>& kept);

}  // namespace poom
