#include "contacts/contact_fields.h"

#include <oleauto.h>

#include "contacts/contact_source.h"
#include "base/short_date.h"
#include "base/text.h"
#include "store/activity_database.h"
#include "store/activity_queries.h"
#include "store/activity_record.h"
#include "store/find_filter.h"

#include <unordered_map>

namespace {

using TextGetter = HRESULT (STDMETHODCALLTYPE IContact::*)(BSTR*);

// Contact fields 0..19 by contact field index; the birthday is a date.
const TextGetter textGetters[BIRTHDAY_FIELD] = {
    &IContact::get_FileAs, &IContact::get_FirstName, &IContact::get_LastName, &IContact::get_JobTitle,
    &IContact::get_CompanyName, &IContact::get_BusinessAddressStreet, &IContact::get_BusinessAddressCity,
    &IContact::get_BusinessAddressState, &IContact::get_BusinessAddressPostalCode,
    &IContact::get_BusinessTelephoneNumber, &IContact::get_Business2TelephoneNumber,
    &IContact::get_MobileTelephoneNumber, &IContact::get_HomeTelephoneNumber, &IContact::get_BusinessFaxNumber,
    &IContact::get_Email1Address, &IContact::get_Email2Address, &IContact::get_Email3Address,
    &IContact::get_WebPage, &IContact::get_OfficeLocation, &IContact::get_Department,
};

// One contact field of a fetched contact into the buffer. noDateIsEmpty
// decides whether the store's no-date value reads as empty text.
void ReadField(IContact* contact, int contactFieldIndex, wchar_t* buffer, int capacity, bool noDateIsEmpty)
{
    if (contactFieldIndex == BIRTHDAY_FIELD) {
        DATE birthday = NO_CONTACT_DATE;
        contact->get_Birthday(&birthday);
        if (noDateIsEmpty && birthday == NO_CONTACT_DATE)
            CopyText(buffer, static_cast<size_t>(capacity), L"");
        else
            FormatShortDate(birthday, buffer, static_cast<size_t>(capacity));
        return;
    }
    BSTR text = nullptr;
    (contact->*textGetters[contactFieldIndex])(&text);
    CopyText(buffer, static_cast<size_t>(capacity), text);
    if (text && outlookApp)
        outlookApp->SysFreeString(text);
    else if (text)
        SysFreeString(text);
}

bool UsableBuffer(const wchar_t* buffer, int capacity)
{
    return buffer && capacity > 0;
}

}  // namespace

void GetContactFieldText(CEOID oid, int contactFieldIndex, wchar_t* buffer, int capacity)
{
    if (!UsableBuffer(buffer, capacity) || contactFieldIndex < 0 || contactFieldIndex >= CONTACT_FIELD_COUNT)
        return;
    IContact* contact = FetchContact(oid);
    if (!contact)
        return;
    ReadField(contact, contactFieldIndex, buffer, capacity, true);
    contact->Release();
}

void GetContactFieldTexts(int contactFieldIndex, int capacity, std::unordered_map<CEOID, std::wstring>* texts)
{
    texts->clear();
    IPOutlookItemCollection* items = nullptr;
    if (contactFieldIndex < 0 || contactFieldIndex >= CONTACT_FIELD_COUNT || capacity <= 0 || !contactsFolder ||
        FAILED(contactsFolder->get_Items(&items)) || !items)
        return;
    int total = 0;
    items->get_Count(&total);
    std::wstring text(static_cast<size_t>(capacity), L'\0');
    for (int position = 1; position <= total; ++position) {
        IDispatch* item = nullptr;
        if (FAILED(items->Item(position, &item)) || !item)
            continue;
        IContact* contact = nullptr;
        const HRESULT asked = item->QueryInterface(IID_IContact, reinterpret_cast<void**>(&contact));
        item->Release();
        if (FAILED(asked) || !contact)
            continue;
        long oid = 0;
        contact->get_Oid(&oid);
        text[0] = 0;
        ReadField(contact, contactFieldIndex, &text[0], capacity, true);
        texts->emplace(static_cast<CEOID>(oid), text.c_str());
        contact->Release();
    }
    items->Release();
}

void GetContactRecord(CEOID oid, ContactRecord* record)
{
    if (!record)
        return;
    IContact* contact = FetchContact(oid);
    if (!contact)
        return;
    for (int f = 0; f < CONTACT_FIELD_COUNT; ++f)
        ReadField(contact, f, record->field[f], CONTACT_FIELD_TEXT_CAPACITY, true);
    contact->Release();
}

std::vector<std::wstring> GetContactFieldTexts(const CEOID* oids, int count, const int* fields, int fieldCount,
                                               int* fetched)
{
    *fetched = 0;
    std::vector<std::wstring> texts;
    if (!oids || count <= 0 || fieldCount < 0 || (fieldCount > 0 && !fields))
        return texts;
    texts.resize(static_cast<size_t>(count) * static_cast<size_t>(fieldCount));
    IPOutlookItemCollection* items = nullptr;
    if (!contactsFolder || FAILED(contactsFolder->get_Items(&items)) || !items)
        return texts;
    std::unordered_map<CEOID, std::vector<int>> wanted;
    for (int i = 0; i < count; ++i)
        wanted[oids[i]].push_back(i);
    int total = 0;
    if (FAILED(items->get_Count(&total)))
        total = 0;
    wchar_t text[CONTACT_FIELD_TEXT_CAPACITY];
    for (int position = 1; position <= total; ++position) {
        IDispatch* item = nullptr;
        if (FAILED(items->Item(position, &item)) || !item)
            continue;
        IContact* contact = nullptr;
        if (FAILED(item->QueryInterface(IID_IContact, reinterpret_cast<void**>(&contact))))
            contact = nullptr;
        item->Release();
        if (!contact)
            continue;
        long oid = 0;
        contact->get_Oid(&oid);
        const auto entry = wanted.find(static_cast<CEOID>(oid));
        if (entry != wanted.end()) {
            ++*fetched;
            for (int j = 0; j < fieldCount; ++j) {
                if (fields[j] < 0 || fields[j] >= CONTACT_FIELD_COUNT)
                    continue;
                text[0] = L'\0';
                ReadField(contact, fields[j], text, CONTACT_FIELD_TEXT_CAPACITY, true);
                for (int i : entry->second)
                    texts[static_cast<size_t>(i) * static_cast<size_t>(fieldCount) + static_cast<size_t>(j)] = text;
            }
        }
        contact->Release();
    }
    items->Release();
    return texts;
}

void GetContactName(CEOID oid, wchar_t* buffer, int capacity)
{
    if (!UsableBuffer(buffer, capacity))
        return;
    buffer[0] = 0;
    IContact* contact = FetchContact(oid);
    if (!contact)
        return;
    ReadField(contact, 0, buffer, capacity, true);
    contact->Release();
}

void GetFindFieldText(IContact* contact, int fieldIndex, wchar_t* buffer, int capacity,
                      const LatestActivities* latest)
{
    if (!UsableBuffer(buffer, capacity))
        return;
    buffer[0] = 0;
    if (!contact || fieldIndex < 0 || fieldIndex >= FIELD_COUNT)
        return;
    if (fieldIndex < CONTACT_FIELD_COUNT) {
        // The find filter formats even the no-date value like any date.
        ReadField(contact, fieldIndex, buffer, capacity, false);
    } else {
        long oid = 0;
        contact->get_Oid(&oid);
        if (!activityDatabase || activityDatabase == INVALID_HANDLE_VALUE)
            return;
        const CEOID contactOid = static_cast<CEOID>(oid);
        ActivityRecord read;
        const ActivityRecord* record = nullptr;
        if (latest) {
            record = LatestActivityOf(*latest, contactOid, &read);
        } else {
            read = {};
            if (ContactHasLastActivity(activityDatabase, contactOid, &read))
                record = &read;
        }
        if (!record)
            return;
        const int column = fieldIndex - CONTACT_FIELD_COUNT;
        if (IsDateColumn(column))
            GetActivityColumnText(*record, column, buffer, static_cast<size_t>(capacity), 0);
        else
            CopyText(buffer, static_cast<size_t>(capacity), ActivityFieldText(*record, column));
    }
    LowerCaseText(buffer);
}
