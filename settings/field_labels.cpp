#include "settings/field_labels.h"

#include "base/text.h"

wchar_t contactFieldLabels[CONTACT_FIELD_COUNT][FIELD_LABEL_CAPACITY];
wchar_t activityFieldLabels[ACTIVITY_FIELD_COUNT][FIELD_LABEL_CAPACITY];

// In field index order: the contact fields, then the activity fields.
static const wchar_t* const defaultLabels[FIELD_COUNT] = {
    L"FileAs",          L"First Name",      L"Last Name",        L"Title",
    L"Company",         L"Street Address",  L"City",             L"State/Province",
    L"Zip/Postal Code", L"Business Phone",  L"Business Phone 2", L"Mobile Phone",
    L"Home Phone",      L"Business Fax",    L"Email",            L"Email2",
    L"Email3",          L"Web Address",     L"Office Location",  L"Department",
    L"Birthday",
    L"Last Date",       L"Next Date",       L"Event",            L"Next Action",
    L"Notes",           L"User Field 1",    L"User Field 2",     L"User Field 3",
};

static wchar_t* LabelSlot(int fieldIndex)
{
    if (fieldIndex >= 0 && fieldIndex < CONTACT_FIELD_COUNT)
        return contactFieldLabels[fieldIndex];
    if (fieldIndex >= CONTACT_FIELD_COUNT && fieldIndex < FIELD_COUNT)
        return activityFieldLabels[fieldIndex - CONTACT_FIELD_COUNT];
    return nullptr;
}

void ResetFieldLabels()
{
    for (int i = 0; i < FIELD_COUNT; ++i)
        RenameFieldLabel(i, DefaultFieldLabel(i));
}

bool RenameFieldLabel(int fieldIndex, const wchar_t* text)
{
    wchar_t* slot = LabelSlot(fieldIndex);
    if (!slot)
        return false;
    CopyText(slot, FIELD_LABEL_CAPACITY, text);
    return true;
}

const wchar_t* FieldLabel(int fieldIndex)
{
    const wchar_t* slot = LabelSlot(fieldIndex);
    return slot ? slot : L"";
}

const wchar_t* ContactFieldLabel(int contactFieldIndex)
{
    if (contactFieldIndex < 0 || contactFieldIndex >= CONTACT_FIELD_COUNT)
        return L"";
    return FieldLabel(contactFieldIndex);
}

const wchar_t* ActivityFieldLabel(int activityFieldIndex)
{
    if (activityFieldIndex < 0 || activityFieldIndex >= ACTIVITY_FIELD_COUNT)
        return L"";
    return FieldLabel(CONTACT_FIELD_COUNT + activityFieldIndex);
}

const wchar_t* DefaultFieldLabel(int fieldIndex)
{
    if (fieldIndex < 0 || fieldIndex >= FIELD_COUNT)
        return L"";
    return defaultLabels[fieldIndex];
}
