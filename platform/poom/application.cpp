#include "platform/poom/poom_objects.h"

#include <oleauto.h>

namespace poom {

namespace {

template <class T>
HRESULT Hand(T* object, T** out)
{
    if (!out)
        return E_POINTER;
    object->AddRef();
    *out = object;
    return S_OK;
}

}  // namespace

HRESULT Application::QueryInterface(REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID_IPOutlookApp)) {
        AddRef();
        *out = static_cast<IPOutlookApp*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT Application::Logon(long hWnd)
{
    if (!EnsureContactDatabases())
        return E_FAIL;
    loggedOn = true;
    owner = reinterpret_cast<HWND>(static_cast<LONG_PTR>(hWnd));
    return S_OK;
}

HRESULT Application::Logoff()
{
    ReleaseContactsHandle();
    loggedOn = false;
    owner = nullptr;
    return S_OK;
}

HRESULT Application::get_Version(BSTR* version)
{
    if (!version)
        return E_POINTER;
    *version = SysAllocString(L"3.0");
    return *version ? S_OK : E_OUTOFMEMORY;
}

HRESULT Application::GetDefaultFolder(int folder, IFolder** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!loggedOn)
        return E_FAIL;
    if (folder != olFolderContacts)
        return E_INVALIDARG;
    *out = new Folder(this);
    return S_OK;
}

HRESULT Application::CreateItem(int type, IDispatch** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!loggedOn)
        return E_FAIL;
    if (type != olContactItem)
        return E_INVALIDARG;
    *out = static_cast<IContact*>(new Contact(this, ContactData{}));
    return S_OK;
}

HRESULT Application::GetItemFromOid(long oid, IDispatch** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!loggedOn)
        return E_FAIL;
    if (std::shared_ptr<const ContactData> current = CurrentContact(static_cast<CEOID>(oid))) {
        *out = static_cast<IContact*>(new Contact(this, std::move(current)));
        return S_OK;
    }
    ContactData data;
    if (!LoadContact(static_cast<CEOID>(oid), data))
        return E_INVALIDARG;
    *out = static_cast<IContact*>(new Contact(this, data));
    return S_OK;
}

HRESULT Application::SysFreeString(BSTR text)
{
    ::SysFreeString(text);
    return S_OK;
}

HRESULT Application::VariantTimeToSystemTime(DATE date, SYSTEMTIME* time)
{
    if (!time)
        return E_POINTER;
    return ::VariantTimeToSystemTime(date, time) ? S_OK : E_INVALIDARG;
}

HRESULT Application::SystemTimeToVariantTime(SYSTEMTIME* time, DATE* date)
{
    if (!time || !date)
        return E_POINTER;
    return ::SystemTimeToVariantTime(time, date) ? S_OK : E_INVALIDARG;
}

Folder::Folder(Application* owner) : app(owner)
{
    app->AddRef();
}

Folder::~Folder()
{
    app->Release();
}

HRESULT Folder::QueryInterface(REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID_IFolder)) {
        AddRef();
        *out = static_cast<IFolder*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT Folder::get_Items(IPOutlookItemCollection** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    std::shared_ptr<const ContactSnapshot> contacts = CurrentContacts();
    if (!contacts)
        return E_FAIL;
    std::vector<size_t> rows(contacts->Contacts().size());
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = i;
    *out = new ItemCollection(app, std::move(contacts), std::move(rows));
    return S_OK;
}

HRESULT Folder::get_DefaultItemType(int* type)
{
    if (!type)
        return E_POINTER;
    *type = olContactItem;
    return S_OK;
}

HRESULT Folder::get_Application(IPOutlookApp** out)
{
    return Hand<IPOutlookApp>(app, out);
}

// --- class object ---------------------------------------------------------

namespace {

class ApplicationFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // Lives as long as the process: one static instance.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        Application* app = new Application;
        const HRESULT hr = app->QueryInterface(riid, out);
        app->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

ApplicationFactory factory;
DWORD registration = 0;
bool comStarted = false;

}  // namespace

}  // namespace poom

HRESULT RegisterPoomServer()
{
    if (poom::registration)
        return S_FALSE;
    // The same apartment the program asks for (flags 0), or its own call
    // would fail with a changed mode.
    const HRESULT init = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (FAILED(init))
        return init;
    poom::comStarted = true;
    poom::EnsureContactDatabases();
    const HRESULT hr = CoRegisterClassObject(CLSID_Application, &poom::factory, CLSCTX_INPROC_SERVER,
                                             REGCLS_MULTIPLEUSE, &poom::registration);
    if (FAILED(hr)) {
        poom::registration = 0;
        CoUninitialize();
        poom::comStarted = false;
    }
    return hr;
}

void RevokePoomServer()
{
    if (poom::registration) {
        CoRevokeClassObject(poom::registration);
        poom::registration = 0;
    }
    if (poom::comStarted) {
        CoUninitialize();
        poom::comStarted = false;
    }
}
