// Shared set-up of the contact object model tests: a device store of the
// test's own, the class object registered, and a logged-on application.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/poom/pimstore.h"
#include "platform/poom/poom_server.h"

// Points the object store at a fresh folder beside the test executable and
// returns it. Must run before anything touches the store.
std::wstring UseFreshDeviceStore(const wchar_t* folderName);

struct ContactValues {
    std::wstring fileAs, first, last, company, categories;
    DATE birthday = POOM_NO_DATE;
};

// An item of the object model, released when it goes.
struct ReleaseItem {
    void operator()(IUnknown* item) const { item->Release(); }
};
using ContactPtr = std::unique_ptr<IContact, ReleaseItem>;

class PoomTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates and saves a contact; returns its oid.
    long AddContact(const ContactValues& values);
    ContactPtr Fetch(long oid);  // null when GetItemFromOid fails
    std::wstring Text(const ContactPtr& contact, HRESULT (STDMETHODCALLTYPE IContact::*getter)(BSTR*));
    // FileAs of every item of the collection, in order.
    std::vector<std::wstring> Names(IPOutlookItemCollection* items);
    IPOutlookItemCollection* Items();

    IPOutlookApp* app = nullptr;
    IFolder* folder = nullptr;
};


class Bstr {
public:
    explicit Bstr(const wchar_t* text) : value(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(value); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    operator BSTR() const { return value; }

private:
    BSTR value;
};
