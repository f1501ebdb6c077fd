#include "tests/poom/poom_fixture.h"

#include <oleauto.h>

std::wstring UseFreshDeviceStore(const wchar_t* folderName)
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder = folder.substr(0, folder.rfind(L'\\') + 1) + folderName;
    CreateDirectoryW(folder.c_str(), nullptr);
    DeleteFileW((folder + L"\\device.vol").c_str());
    SetEnvironmentVariableW(L"VANTARO_DEVICE_DIR", folder.c_str());
    return folder;
}


void PoomTest::SetUp()
{
    ASSERT_TRUE(SUCCEEDED(RegisterPoomServer()));
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, 0)));
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_Application, nullptr, CLSCTX_INPROC_SERVER, IID_IPOutlookApp,
                                     reinterpret_cast<void**>(&app)));
    ASSERT_EQ(S_OK, app->Logon(0));
    ASSERT_EQ(S_OK, app->GetDefaultFolder(olFolderContacts, &folder));
    IPOutlookItemCollection* items = Items();
    int count = 0;
    items->get_Count(&count);
    while (count-- > 0)
        items->Remove(1);
    items->Release();
}

void PoomTest::TearDown()
{
    if (folder)
        folder->Release();
    if (app) {
        app->Logoff();
        app->Release();
    }
    CoUninitialize();
}

IPOutlookItemCollection* PoomTest::Items()
{
    IPOutlookItemCollection* items = nullptr;
    EXPECT_EQ(S_OK, folder->get_Items(&items));
    return items;
}

long PoomTest::AddContact(const ContactValues& values)
{
    IDispatch* item = nullptr;
    EXPECT_EQ(S_OK, app->CreateItem(olContactItem, &item));
    IContact* contact = nullptr;
    EXPECT_EQ(S_OK, item->QueryInterface(IID_IContact, reinterpret_cast<void**>(&contact)));
    item->Release();
    auto put = [&](HRESULT (STDMETHODCALLTYPE IContact::*setter)(BSTR), const std::wstring& text) {
        Bstr value(text.c_str());
        (contact->*setter)(value);
    };
    put(&IContact::put_FileAs, values.fileAs);
    put(&IContact::put_FirstName, values.first);
    put(&IContact::put_LastName, values.last);
    put(&IContact::put_CompanyName, values.company);
    put(&IContact::put_Categories, values.categories);
    contact->put_Birthday(values.birthday);
    EXPECT_EQ(S_OK, contact->Save());
    long oid = 0;
    contact->get_Oid(&oid);
    contact->Release();
    return oid;
}

ContactPtr PoomTest::Fetch(long oid)
{
    IDispatch* item = nullptr;
    if (FAILED(app->GetItemFromOid(oid, &item)) || !item)
        return nullptr;
    IContact* contact = nullptr;
    item->QueryInterface(IID_IContact, reinterpret_cast<void**>(&contact));
    item->Release();
    return ContactPtr(contact);
}

std::wstring PoomTest::Text(const ContactPtr& contact, HRESULT (STDMETHODCALLTYPE IContact::*getter)(BSTR*))
{
    BSTR value = nullptr;
    ((*contact).*getter)(&value);
    std::wstring text = value ? value : L"";
    app->SysFreeString(value);
    return text;
}

std::vector<std::wstring> PoomTest::Names(IPOutlookItemCollection* items)
{
    std::vector<std::wstring> names;
    int count = 0;
    items->get_Count(&count);
    for (int i = 1; i <= count; ++i) {
        IDispatch* item = nullptr;
        if (FAILED(items->Item(i, &item)))
            continue;
        IContact* contact = nullptr;
        item->QueryInterface(IID_IContact, reinterpret_cast<void**>(&contact));
        item->Release();
        names.push_back(Text(ContactPtr(contact), &IContact::get_FileAs));
    }
    return names;
}
