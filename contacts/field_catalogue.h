// The contact field catalogue: the contact properties behind the 21 contact
// fields and the snapshot of one contact's field texts. Their labels are
// settings (settings/field_labels.h).
#pragma once
#include "settings/field_labels.h"

// The property name of each contact field, bracketed as the contact store
// sorts by it ("[FileAs]"); filled once at start-up.
constexpr int PROPERTY_NAME_CAPACITY = 30;
extern wchar_t contactPropertyNames[CONTACT_FIELD_COUNT][PROPERTY_NAME_CAPACITY];
void FillContactPropertyNames();
// By contact field index; empty outside 0..20.
const wchar_t* ContactPropertyName(int contactFieldIndex);

constexpr int BIRTHDAY_FIELD = 20;
// What the contact store reports for "no date" (1 January 4501).
constexpr double NO_CONTACT_DATE = 949998.0;

// The 21 field texts of one contact, in contact field index order.
constexpr int CONTACT_FIELD_TEXT_CAPACITY = 80;
struct ContactRecord {
    wchar_t field[CONTACT_FIELD_COUNT][CONTACT_FIELD_TEXT_CAPACITY];
};
