#include "contacts/exchange/device_card.h"

#include <oleauto.h>

#include <algorithm>

#include "contacts/vcard/text_encoding.h"
#include "platform/poom/poom_objects.h"

namespace exchange {

namespace {

// The year that stands for "no year" in a stored birthday.
constexpr WORD kNoYear = 1604;

using Setter = HRESULT (STDMETHODCALLTYPE IContact::*)(BSTR);

// In the order of the card's fields, which follows the object model's.
const Setter kSetters[vcard::kCardFields] = {
    &IContact::put_FileAs, &IContact::put_FirstName, &IContact::put_LastName, &IContact::put_JobTitle,
    &IContact::put_CompanyName, &IContact::put_BusinessAddressStreet, &IContact::put_BusinessAddressCity,
    &IContact::put_BusinessAddressState, &IContact::put_BusinessAddressPostalCode,
    &IContact::put_BusinessTelephoneNumber, &IContact::put_Business2TelephoneNumber,
    &IContact::put_MobileTelephoneNumber, &IContact::put_HomeTelephoneNumber, &IContact::put_BusinessFaxNumber,
    &IContact::put_Email1Address, &IContact::put_Email2Address, &IContact::put_Email3Address,
    &IContact::put_WebPage, &IContact::put_OfficeLocation, &IContact::put_Department,
#define EXCHANGE_SETTER(name) &IContact::put_##name,
    POOM_CONTACT_MORE_TEXT_PROPERTIES(EXCHANGE_SETTER)
#undef EXCHANGE_SETTER
};
static_assert(vcard::kCardFields - vcard::kCardTextFields == poom::kCardExtras - poom::kFirstMoreProperty,
              "every field of a card has a property of the device contact");

// The device keeps line breaks as CR LF; cards carry them as LF.
std::wstring ToDevice(const std::string& text)
{
    std::wstring wide;
    for (wchar_t c : vcard::Utf8ToWide(text)) {
        if (c == L'\n')
            wide += L'\r';
        wide += c;
    }
    return wide;
}

std::string FromDevice(const std::wstring& text)
{
    std::wstring plain;
    for (wchar_t c : text)
        if (c != L'\r')
            plain += c;
    return vcard::WideToUtf8(plain);
}

DATE ToDate(const vcard::CardDate& date)
{
    if (!date.Present())
        return POOM_NO_DATE;
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(date.year ? date.year : kNoYear);
    time.wMonth = static_cast<WORD>(date.month);
    time.wDay = static_cast<WORD>(date.day);
    DATE value = POOM_NO_DATE;
    return SystemTimeToVariantTime(&time, &value) ? value : POOM_NO_DATE;
}

vcard::CardDate FromDate(DATE value)
{
    SYSTEMTIME time;
    if (value == POOM_NO_DATE || !VariantTimeToSystemTime(value, &time))
        return {};
    return {time.wYear == kNoYear ? 0 : time.wYear, time.wMonth, time.wDay};
}

void PutText(IContact* contact, Setter setter, const std::wstring& text)
{
    BSTR value = SysAllocString(text.c_str());
    (contact->*setter)(value);
    SysFreeString(value);
}

}  // namespace

vcard::CardContact CardOfContact(const poom::ContactData& data)
{
    vcard::CardContact card;
    for (int f = 0; f < vcard::kCardTextFields; ++f)
        card.text[f] = FromDevice(data.text[f]);
    for (int f = vcard::kCardTextFields; f < vcard::kCardFields; ++f)
        card.text[f] = FromDevice(data.More(poom::kFirstMoreProperty + f - vcard::kCardTextFields));
    card.birthday = FromDate(data.birthday);
    card.anniversary = FromDate(data.anniversary);
    const std::wstring& extras = data.More(poom::kCardExtras);
    for (size_t start = 0; start < extras.size();) {
        const size_t end = std::min(extras.find(L"\r\n", start), extras.size());
        if (end > start)
            card.extras.push_back(vcard::WideToUtf8(extras.substr(start, end - start)));
        start = end + 2;
    }
    for (const auto& name : poom::SplitCategories(data.categories))
        card.categories.push_back(vcard::WideToUtf8(name));
    card.uid = vcard::WideToUtf8(data.uid);
    return card;
}

HRESULT SaveCardAs(IContact* contact, const vcard::CardContact& card)
{
    for (int f = 0; f < vcard::kCardFields; ++f)
        PutText(contact, kSetters[f], ToDevice(card.text[f]));
    contact->put_Birthday(ToDate(card.birthday));
    contact->put_Anniversary(ToDate(card.anniversary));
    std::wstring list;
    for (const auto& name : card.categories)
        list += (list.empty() ? L"" : L", ") + vcard::Utf8ToWide(name);
    PutText(contact, &IContact::put_Categories, list);
    IContactExchange* exchange = nullptr;
    if (SUCCEEDED(contact->QueryInterface(IID_IContactExchange, reinterpret_cast<void**>(&exchange)))) {
        if (!card.uid.empty()) {
            BSTR uid = SysAllocString(vcard::Utf8ToWide(card.uid).c_str());
            exchange->put_Uid(uid);
            SysFreeString(uid);
        }
        std::wstring extras;
        for (const auto& line : card.extras)
            extras += (extras.empty() ? L"" : L"\r\n") + vcard::Utf8ToWide(line);
        BSTR kept = SysAllocString(extras.c_str());
        exchange->put_CardExtras(kept);
        SysFreeString(kept);
        exchange->Release();
    }
    return contact->Save();
}

std::string CardName(const vcard::CardContact& card)
{
    if (!card.text[vcard::kFileAs].empty())
        return card.text[vcard::kFileAs];
    const std::string& first = card.text[vcard::kFirstName];
    const std::string& last = card.text[vcard::kLastName];
    if (!first.empty() || !last.empty())
        return last + (first.empty() || last.empty() ? "" : ", ") + first;
    if (!card.text[vcard::kCompany].empty())
        return card.text[vcard::kCompany];
    return card.fullName;
}

// The names, the company and the first ways to reach the person. The filing
// name counts only for a card that names nobody, so that contacts filed
// under their display name by earlier imports are still found.
std::string CardIdentity(const vcard::CardContact& card)
{
    std::string key;
    for (int f : {vcard::kFirstName, vcard::kLastName, vcard::kCompany, vcard::kEmail1, vcard::kMobilePhone,
                  vcard::kBusinessPhone})
        key += card.text[f] + '\x1F';
    if (card.text[vcard::kFirstName].empty() && card.text[vcard::kLastName].empty() &&
        card.text[vcard::kCompany].empty())
        key += card.text[vcard::kFileAs];
    return key;
}

}  // namespace exchange
