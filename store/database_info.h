// Database info: how many activities, labels and contacts the program holds,
// for the About box.
#pragma once
#include <string>

struct DatabaseCounts {
    int contacts;     // the device's contacts, whatever profile or find is active
    int activities;   // records of "ActivityDatabase"
    int labels;       // records of the five label lists together
};

// Fills the counts. The contacts belong to the contact source, a layer above
// the store, so the caller passes their total in. A database that cannot be
// opened counts 0; a missing one is created empty on the way.
void GetDatabaseCounts(int contactTotal, DatabaseCounts* counts);

// "Database Info:\n\nContacts Entries = ..." as the About box shows it.
std::wstring FormatDatabaseInfo(const DatabaseCounts& counts);
