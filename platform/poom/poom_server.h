// Desktop side of the contact object model stand-in: registering its class
// object, the databases it keeps, and what the exchange tool needs beyond
// the device's interfaces.
#pragma once
#include "platform/poom/pimstore.h"

// Registers the application class object in this process so that
// CoCreateInstance(CLSID_Application, ..., CLSCTX_INPROC_SERVER, ...) finds
// it, and makes sure the object store holds "Contacts Database" and
// "Categories Database". Initialises COM on the calling thread (balanced by
// RevokePoomServer). Calling it again while registered does nothing.
HRESULT RegisterPoomServer();
void RevokePoomServer();

// Stand-in only: the identity a contact had in the card file it came from,
// so that importing the same card again updates it, and what of the card
// had no property of its own.
extern "C" const IID IID_IContactExchange;
struct IContactExchange : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_Uid(BSTR* pValue) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Uid(BSTR value) = 0;
    // The card's lines that no property holds, one a line, written back
    // when the contact is exported.
    virtual HRESULT STDMETHODCALLTYPE get_CardExtras(BSTR* pValue) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_CardExtras(BSTR value) = 0;
};

// The names of the contact card window, which the program looks for.
constexpr wchar_t POOM_CARD_CLASS[] = L"Dialog";
constexpr wchar_t POOM_CARD_TITLE[] = L"Contacts";
constexpr wchar_t POOM_CARD_SUMMARY[] = L"Summary";
constexpr int POOM_CARD_SUMMARY_COMMAND = 105;

// Control ids inside the card: one edit per text property (FileAs first),
// the birthday check box and picker, the categories edit and the summary
// view.
constexpr int POOM_CARD_FIRST_FIELD_ID = 1000;
constexpr int POOM_CARD_BIRTHDAY_ID = 1020;
constexpr int POOM_CARD_HAS_BIRTHDAY_ID = 1022;
constexpr int POOM_CARD_CATEGORIES_ID = 1021;
constexpr int POOM_CARD_EDIT_VIEW_ID = 106;
constexpr int POOM_CARD_SUMMARY_VIEW_ID = 1100;
