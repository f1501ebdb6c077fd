// The contact object model of the handheld: the application object, folders,
// item collections and contacts, as COM interfaces with the platform's class
// and interface ids. Only the members that the program and its tools call
// are declared; strings are BSTRs released with SysFreeString, dates are OLE
// dates, and a contact without a date reports 949998.0.
#pragma once
#include <windows.h>
#include <oaidl.h>

struct IFolder;
struct IPOutlookItemCollection;

enum OlDefaultFolders {
    olFolderCalendar = 9,
    olFolderContacts = 10,
    olFolderTasks = 13,
};

enum OlItemType {
    olAppointmentItem = 1,
    olContactItem = 2,
    olTaskItem = 3,
};

// The date the object model reports for "no date" (1 January 4501).
constexpr DATE POOM_NO_DATE = 949998.0;

extern "C" const CLSID CLSID_Application;
extern "C" const IID IID_IPOutlookApp;
extern "C" const IID IID_IFolder;
extern "C" const IID IID_IPOutlookItemCollection;
extern "C" const IID IID_IPOlItems;
extern "C" const IID IID_IContact;

struct IPOutlookApp : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Logon(long hWnd) = 0;
    virtual HRESULT STDMETHODCALLTYPE Logoff() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Version(BSTR* pVersion) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDefaultFolder(int olFolder, IFolder** ppIFolder) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateItem(int olItem, IDispatch** ppPOutlookItem) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetItemFromOid(long oid, IDispatch** ppPOutlookItem) = 0;
    virtual HRESULT STDMETHODCALLTYPE SysFreeString(BSTR bstr) = 0;
    virtual HRESULT STDMETHODCALLTYPE VariantTimeToSystemTime(DATE date, SYSTEMTIME* pst) = 0;
    virtual HRESULT STDMETHODCALLTYPE SystemTimeToVariantTime(SYSTEMTIME* pst, DATE* pdate) = 0;
};

struct IFolder : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Items(IPOutlookItemCollection** ppolItems) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DefaultItemType(int* polItem) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Application(IPOutlookApp** ppPOutlookApp) = 0;
};

struct IPOutlookItemCollection : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Add(IDispatch** ppPOutlookItem) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Count(int* pnCount) = 0;
    virtual HRESULT STDMETHODCALLTYPE Item(int iIndex, IDispatch** ppPOutlookItem) = 0;
    virtual HRESULT STDMETHODCALLTYPE Remove(int iIndex) = 0;
    virtual HRESULT STDMETHODCALLTYPE Restrict(BSTR pwszRestriction, IPOutlookItemCollection** ppolItems) = 0;
    virtual HRESULT STDMETHODCALLTYPE Sort(BSTR pwszProperty, VARIANT_BOOL fDescending) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Application(IPOutlookApp** ppPOutlookApp) = 0;
};

struct IPOlItems : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE SetColumns(BSTR Columns) = 0;
};

// The contact's further text properties, in the order of their slots after
// get_Application; each has a get_ and a put_ member.
#define POOM_CONTACT_MORE_TEXT_PROPERTIES(X)                                              \
    X(MiddleName) X(Title) X(Suffix) X(NickName)                                          \
    X(YomiFirstName) X(YomiLastName) X(YomiCompanyName) X(BusinessAddressCountry)         \
    X(HomeAddressStreet) X(HomeAddressCity) X(HomeAddressState) X(HomeAddressPostalCode)  \
    X(HomeAddressCountry) X(OtherAddressStreet) X(OtherAddressCity) X(OtherAddressState)  \
    X(OtherAddressPostalCode) X(OtherAddressCountry) X(Body) X(Spouse) X(Children)        \
    X(AssistantName) X(AssistantTelephoneNumber) X(Home2TelephoneNumber) X(HomeFaxNumber) \
    X(PagerNumber) X(CarTelephoneNumber) X(RadioTelephoneNumber)                          \
    X(IM1Address) X(IM2Address) X(IM3Address)

#define POOM_CONTACT_TEXT_PROPERTY(name)                                  \
    virtual HRESULT STDMETHODCALLTYPE get_##name(BSTR* pValue) = 0;      \
    virtual HRESULT STDMETHODCALLTYPE put_##name(BSTR value) = 0;

struct IContact : public IDispatch {
    POOM_CONTACT_TEXT_PROPERTY(FileAs)
    POOM_CONTACT_TEXT_PROPERTY(FirstName)
    POOM_CONTACT_TEXT_PROPERTY(LastName)
    POOM_CONTACT_TEXT_PROPERTY(JobTitle)
    POOM_CONTACT_TEXT_PROPERTY(CompanyName)
    POOM_CONTACT_TEXT_PROPERTY(BusinessAddressStreet)
    POOM_CONTACT_TEXT_PROPERTY(BusinessAddressCity)
    POOM_CONTACT_TEXT_PROPERTY(BusinessAddressState)
    POOM_CONTACT_TEXT_PROPERTY(BusinessAddressPostalCode)
    POOM_CONTACT_TEXT_PROPERTY(BusinessTelephoneNumber)
    POOM_CONTACT_TEXT_PROPERTY(Business2TelephoneNumber)
    POOM_CONTACT_TEXT_PROPERTY(MobileTelephoneNumber)
    POOM_CONTACT_TEXT_PROPERTY(HomeTelephoneNumber)
    POOM_CONTACT_TEXT_PROPERTY(BusinessFaxNumber)
    POOM_CONTACT_TEXT_PROPERTY(Email1Address)
    POOM_CONTACT_TEXT_PROPERTY(Email2Address)
    POOM_CONTACT_TEXT_PROPERTY(Email3Address)
    POOM_CONTACT_TEXT_PROPERTY(WebPage)
    POOM_CONTACT_TEXT_PROPERTY(OfficeLocation)
    POOM_CONTACT_TEXT_PROPERTY(Department)
    POOM_CONTACT_TEXT_PROPERTY(Categories)
    virtual HRESULT STDMETHODCALLTYPE get_Birthday(DATE* pValue) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Birthday(DATE value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Oid(long* pOid) = 0;
    virtual HRESULT STDMETHODCALLTYPE Save() = 0;
    virtual HRESULT STDMETHODCALLTYPE Delete() = 0;
    virtual HRESULT STDMETHODCALLTYPE Display() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Application(IPOutlookApp** ppPOutlookApp) = 0;
    POOM_CONTACT_MORE_TEXT_PROPERTIES(POOM_CONTACT_TEXT_PROPERTY)
    virtual HRESULT STDMETHODCALLTYPE get_Anniversary(DATE* pValue) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Anniversary(DATE value) = 0;
};

#undef POOM_CONTACT_TEXT_PROPERTY
