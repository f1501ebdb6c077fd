// A contact's field values as text, by the rules of the field catalogue.
#pragma once
#include <windows.h>

#include "contacts/field_catalogue.h"
#include "platform/cedb/windbase.h"
#include "platform/poom/pimstore.h"
#include "store/activity_queries.h"

#include <string>
#include <unordered_map>

#include <string>
#include <vector>

// The field's text, cut to capacity - 1 characters and terminated. A field
// index of 21 or more, or a contact that cannot be fetched, leaves the
// buffer untouched. An absent birthday gives empty text.
void GetContactFieldText(CEOID oid, int contactFieldIndex, wchar_t* buffer, int capacity);
// All 21 texts in one visit; a contact that cannot be fetched leaves the
// record untouched.
void GetContactRecord(CEOID oid, ContactRecord* record);
// The texts of the chosen fields of many contacts, from one visit of the
// contact store, which fetches each contact once: entry i * fieldCount + j
// is field fields[j] of oids[i], cut as GetContactRecord cuts it. A contact
// the store does not hold gives empty texts. *fetched counts the contacts
// read.
std::vector<std::wstring> GetContactFieldTexts(const CEOID* oids, int count, const int* fields, int fieldCount,
                                               int* fetched);
// The FileAs text; empty when the contact cannot be fetched.
void GetContactName(CEOID oid, wchar_t* buffer, int capacity);
// One contact field's text (as GetContactFieldText writes it) for every
// contact, read in one pass over the contact store: for walks over many
// rows, where fetching contact after contact costs several times as much.
void GetContactFieldTexts(int contactFieldIndex, int capacity, std::unordered_map<CEOID, std::wstring>* texts);
// Text of any of the 29 fields for the find filter, in lower case. Fields
// 21..28 come from the contact's latest activity, looked up in `latest`
// when a caller visiting many contacts has loaded it.
void GetFindFieldText(IContact* contact, int fieldIndex, wchar_t* buffer, int capacity,
                      const LatestActivities* latest = nullptr);
