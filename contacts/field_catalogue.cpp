#include "contacts/field_catalogue.h"

#include "base/text.h"

wchar_t contactPropertyNames[CONTACT_FIELD_COUNT][PROPERTY_NAME_CAPACITY];

static const wchar_t* const propertyNames[CONTACT_FIELD_COUNT] = {
    L"[FileAs]",                    L"[FirstName]",
    L"[LastName]",                  L"[JobTitle]",
    L"[CompanyName]",               L"[BusinessAddressStreet]",
    L"[BusinessAddressCity]",       L"[BusinessAddressState]",
    L"[BusinessAddressPostalCode]", L"[BusinessTelephoneNumber]",
    L"[Business2TelephoneNumber]",  L"[MobileTelephoneNumber]",
    L"[HomeTelephoneNumber]",       L"[BusinessFaxNumber]",
    L"[Email1Address]",             L"[Email2Address]",
    L"[Email3Address]",             L"[WebPage]",
    L"[OfficeLocation]",            L"[Department]",
    L"[Birthday]",
};

void FillContactPropertyNames()
{
    for (int i = 0; i < CONTACT_FIELD_COUNT; ++i)
        CopyText(contactPropertyNames[i], PROPERTY_NAME_CAPACITY, propertyNames[i]);
}

const wchar_t* ContactPropertyName(int contactFieldIndex)
{
    if (contactFieldIndex < 0 || contactFieldIndex >= CONTACT_FIELD_COUNT)
        return L"";
    return contactPropertyNames[contactFieldIndex];
}
