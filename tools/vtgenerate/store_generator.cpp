#include "tools/vtgenerate/store_generator.h"

#include "platform/cedb/object_store_bulk.h"
#include "platform/poom/contact_records.h"
#include "store/activity_record.h"
#include "store/label_lists.h"
#include "store/volume.h"

#include <cstdio>

namespace {

const wchar_t* const givenNames[] = {L"Ada", L"Bruno", L"Cleo", L"Dmitri", L"Elin", L"Farid", L"Greta",
                                     L"Hugo", L"Ines", L"Jonas", L"Kira", L"Lars", L"Mina", L"Nils",
                                     L"Olga", L"Pavel", L"Rosa", L"Sven", L"Tariq", L"Uma"};
const wchar_t* const familyNames[] = {L"Aalto", L"Brandt", L"Castell", L"Dahl", L"Eriksen", L"Falk",
                                      L"Gruber", L"Holm", L"Ivanova", L"Jensen", L"Kowal", L"Lund",
                                      L"Moreau", L"Nyberg", L"Ortega", L"Petit", L"Quist", L"Rask"};
const wchar_t* const events[] = {L"Phone Call", L"E-mail", L"Meeting", L"Letter", L"Visit", L"Demo"};
const wchar_t* const actions[] = {L"Call back", L"Send offer", L"Follow up", L"Invoice", L""};

template <size_t N>
const wchar_t* Pick(const wchar_t* const (&items)[N], unsigned value)
{
    return items[value % N];
}

// A small deterministic generator, so runs compare.
unsigned Next(unsigned* state)
{
    *state = *state * 1103515245u + 12345u;
    return (*state >> 8) & 0xFFFFFF;
}

bool AddContactsInBulk(int count, GeneratedStore* result, unsigned* state)
{
    for (int i = 0; i < count; ++i) {
        poom::ContactData contact;
        const std::wstring given = Pick(givenNames, Next(state));
        const std::wstring family = Pick(familyNames, Next(state));
        contact.text[0] = family + L", " + given + L" " + std::to_wstring(i);
        contact.text[1] = given;
        contact.text[2] = family;
        contact.text[4] = family + L" Trading";
        const CEOID oid = poom::SaveContactRecord(contact);
        if (!oid)
            return false;
        result->contacts.push_back(oid);
    }
    return true;
}

// The contacts are flushed once, at the end: a thousand device flushes
// would cost more than the contacts themselves.
bool AddContacts(int count, GeneratedStore* result, unsigned* state)
{
    CedbBeginObjectStoreBulk();
    const bool added = AddContactsInBulk(count, result, state);
    if (CedbEndObjectStoreBulk() && added)
        return true;
    result->contacts.clear();  // none of them was kept
    return false;
}

// The activity database as the program opens it with its default settings:
// sorted by the next date, then by contact and by the last flag.
HANDLE OpenActivities(CEGUID* volume)
{
    CEDBASEINFO info = {};
    info.dwFlags = CEDB_VALIDCREATE;
    lstrcpyW(info.szDbaseName, L"ActivityDatabase");
    info.wNumSortOrder = 3;
    info.rgSortSpecs[0].propid = PROPID_NEXTDATE;
    info.rgSortSpecs[1].propid = PROPID_CONTACTOID;
    info.rgSortSpecs[2].propid = PROPID_LASTFLAG;
    CEOID oid = 0;
    HANDLE database = CeOpenDatabaseEx(volume, &oid, info.szDbaseName, PROPID_NEXTDATE, 0, nullptr);
    if (database != INVALID_HANDLE_VALUE)
        return database;
    if (!CeCreateDatabaseEx(volume, &info))
        return INVALID_HANDLE_VALUE;
    return CeOpenDatabaseEx(volume, &oid, info.szDbaseName, PROPID_NEXTDATE, 0, nullptr);
}

struct ActivityDates {
    double date;
    double next;
    short done;
};

// The benchmarks' history: 3,000 days from 2015, each contact's flagged
// activity with its latest next date.
ActivityDates FixedDates(int index, bool last, unsigned* state)
{
    const double date = 42005.0 + index % 3000 + (Next(state) % 1000) / 1000.0;
    return {date, last ? 46000.0 + index % 500 : date + 7, static_cast<short>(Next(state) % 4 == 0 ? 1 : 0)};
}

// A history that ends on `today`, as a user's would: about six weeks between
// a contact's activities, the earlier ones done, and the latest one of the
// last three weeks due soon, due later, past due or done.
ActivityDates RecentDates(double today, int fromEnd, unsigned* state)
{
    const double time = (8 + Next(state) % 10) / 24.0;
    if (fromEnd > 0) {
        const double date = today - 21 - 42.0 * fromEnd + Next(state) % 21 + time;
        return {date, date + 7, 1};
    }
    const double date = today - Next(state) % 21 + time;
    switch (Next(state) % 8) {
    case 0: case 1: case 2: return {date, today + 1 + Next(state) % 10, 0};
    case 3: return {date, today - 1 - Next(state) % 10, 0};
    case 4: case 5: return {date, today + 14 + Next(state) % 45, 0};
    default: return {date, date + 3, 1};
    }
}

// `fromEnd` counts the contact's activities after this one; a history end
// of 0 gives the benchmarks' fixed history.
CEOID WriteActivity(HANDLE database, CEOID contact, int index, int fromEnd, double historyEnd, unsigned* state)
{
    const bool last = fromEnd == 0;
    wchar_t event[LABEL_CAPACITY], action[LABEL_CAPACITY], notes[NOTES_CAPACITY], empty[1] = L"";
    lstrcpynW(event, Pick(events, Next(state)), LABEL_CAPACITY);
    lstrcpynW(action, Pick(actions, Next(state)), LABEL_CAPACITY);
    std::swprintf(notes, NOTES_CAPACITY, last || index % 3 == 0 ? L"Spoke about order %d." : L"", index);
    const ActivityDates dates =
        historyEnd > 0 ? RecentDates(historyEnd, fromEnd, state) : FixedDates(index, last, state);
    CEPROPVAL values[13] = {};
    const CEPROPID ids[13] = {PROPID_CONTACTOID, PROPID_EVENT, PROPID_NEXTACTION, PROPID_NOTES, PROPID_USER1,
                              PROPID_USER2, PROPID_USER3, PROPID_REMINDINDEX, PROPID_LASTFLAG, PROPID_DATE,
                              PROPID_NEXTDATE, PROPID_FILEAS, PROPID_DONE};
    for (int i = 0; i < 13; ++i)
        values[i].propid = ids[i];
    values[0].val.ulVal = contact;
    values[1].val.lpwstr = event;
    values[2].val.lpwstr = action;
    values[3].val.lpwstr = notes;
    values[4].val.lpwstr = values[5].val.lpwstr = values[6].val.lpwstr = values[11].val.lpwstr = empty;
    values[8].val.boolVal = last ? TRUE : FALSE;
    values[9].val.dblVal = dates.date;
    values[10].val.dblVal = dates.next;
    values[12].val.iVal = dates.done;
    return CeWriteRecordProps(database, 0, 13, values);
}

}  // namespace

bool GenerateStore(const std::wstring& volumePath, int contacts, int activities, int busyActivities,
                   GeneratedStore* result, double historyEnd)
{
    unsigned state = 20240601u;
    if (!poom::EnsureContactDatabases() || !AddContacts(contacts, result, &state))
        return false;
    if (result->contacts.empty()) {
        std::vector<poom::ContactData> existing;
        poom::LoadAllContacts(existing);
        for (const poom::ContactData& contact : existing)
            result->contacts.push_back(contact.oid);
    }
    if (result->contacts.empty() || activities <= 0)
        return true;

    const bool newVolume = GetFileAttributesW(volumePath.c_str()) == INVALID_FILE_ATTRIBUTES;
    CEGUID volume;
    if (!CeMountDBVol(&volume, const_cast<LPWSTR>(volumePath.c_str()), OPEN_ALWAYS))
        return false;
    if (newVolume) {
        // A new volume gets the label lists the program's first start would
        // give it, since the program will find the file and seed nothing.
        volumeGuid = volume;
        SeedDefaultLabels();
    }
    HANDLE database = OpenActivities(&volume);
    bool ok = database != INVALID_HANDLE_VALUE;
    result->busyContact = result->contacts.front();
    // With a busy contact, the rounds go over the others only, so that it
    // has exactly its share.
    const int total = static_cast<int>(result->contacts.size());
    const int first = busyActivities > 0 && total > 1 ? 1 : 0;
    const int spread = total - first;
    for (int i = 0; ok && i < activities; ++i) {
        // The busy contact's share first, then one round after another over
        // the contacts; each contact's final activity carries the last flag.
        const bool busy = i < busyActivities;
        const int round = busy ? 0 : (i - busyActivities);
        const int who = busy ? 0 : first + round % spread;
        const int fromEnd = busy ? busyActivities - 1 - i : (activities - busyActivities - 1 - round) / spread;
        ok = WriteActivity(database, result->contacts[who], i, fromEnd, historyEnd, &state) != 0;
        result->activities += ok ? 1 : 0;
    }
    if (database != INVALID_HANDLE_VALUE)
        CloseHandle(database);
    ok = CeFlushDBVol(&volume) && ok;
    CeUnmountDBVol(&volume);
    CREATE_INVALIDGUID(&volumeGuid);
    return ok;
}
