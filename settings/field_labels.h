// The labels of the 29 fields the program can show, search and export,
// addressed by position: their defaults and the user's renamed ones, which
// the settings store keeps.
#pragma once

constexpr int CONTACT_FIELD_COUNT = 21;    // contact field index 0..20
constexpr int ACTIVITY_FIELD_COUNT = 8;    // activity field index 0..7
constexpr int FIELD_COUNT = CONTACT_FIELD_COUNT + ACTIVITY_FIELD_COUNT;  // field index 0..28

// A label holds at most 29 characters and its terminator.
constexpr int FIELD_LABEL_CAPACITY = 30;

extern wchar_t contactFieldLabels[CONTACT_FIELD_COUNT][FIELD_LABEL_CAPACITY];
extern wchar_t activityFieldLabels[ACTIVITY_FIELD_COUNT][FIELD_LABEL_CAPACITY];

// Installs the 21 default contact labels and the 8 default activity labels.
void ResetFieldLabels();

// Stores text, cut to 29 characters, as the label of a field index (0..28).
// Returns false for an index outside the catalogue, which changes nothing.
bool RenameFieldLabel(int fieldIndex, const wchar_t* text);

// Current label by contact field index, activity field index or field index;
// an index outside the catalogue gives the empty text.
const wchar_t* ContactFieldLabel(int contactFieldIndex);
const wchar_t* ActivityFieldLabel(int activityFieldIndex);
const wchar_t* FieldLabel(int fieldIndex);

// The label a field starts with, by field index; empty outside the catalogue.
const wchar_t* DefaultFieldLabel(int fieldIndex);
