#include "tests/contacts/contacts_fixture.h"

#include <oleauto.h>

#include "tests/notify/notify_testing.h"

#include "contacts/contact_fields.h"
#include "contacts/contact_source.h"
#include "contacts/field_catalogue.h"
#include "platform/poom/contact_records.h"
#include "base/text.h"
#include "store/activity_database.h"
#include "store/activity_record.h"

namespace {

std::wstring Lower(std::wstring text)
{
    CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

std::wstring FindText(CEOID oid, int field)
{
    IContact* contact = FetchContact(oid);
    wchar_t text[200] = L"untouched";
    GetFindFieldText(contact, field, text, 200);
    if (contact)
        contact->Release();
    return text;
}

void WriteActivity(CEOID contact, BOOL last, const wchar_t* event, const wchar_t* notes, double date)
{
    ActivityRecord record = {};
    record.contactOid = contact;
    CopyText(record.event, event);
    CopyText(record.nextAction, L"Send Offer");
    CopyText(record.notes, notes);
    CopyText(record.user1, L"West Region");
    CopyText(record.user3, L"Trade Fair");
    record.lastFlag = last;
    record.date = date;
    ASSERT_NE(0u, WriteActivityRecordDB(activityDatabase, NEW_ACTIVITY_RECORD, record));
}

}  // namespace

TEST_F(ContactsTest, FieldTextsFollowTheCatalogueAreCutBetweenCharactersAndComeFromOneVisit)
{
    const CEOID born = Add(L"Rask, Elin", L"Fjord Freight", L"", OleDate(At(1983, 11, 5)));
    const CEOID unborn = Add(L"No Birthday");
    wchar_t text[80] = L"";
    GetContactFieldText(born, BIRTHDAY_FIELD, text, 80);
    EXPECT_EQ(ShortDate(OleDate(At(1983, 11, 5))), text);
    CopyText(text, L"previous");
    GetContactFieldText(unborn, BIRTHDAY_FIELD, text, 80);
    EXPECT_STREQ(L"", text) << "not a date in the year 4501";

    CopyText(text, L"previous");
    GetContactFieldText(born, 21, text, 80);
    EXPECT_STREQ(L"previous", text) << "field 21 leaves the buffer alone";
    GetContactFieldText(born, -1, text, 80);
    EXPECT_STREQ(L"previous", text);
    ASSERT_EQ(1, DeleteContact(unborn));
    GetContactFieldText(unborn, 0, text, 80);
    EXPECT_STREQ(L"previous", text) << "a contact that cannot be fetched leaves the buffer alone";

    GetContactName(born, text, 80);
    EXPECT_STREQ(L"Rask, Elin", text);
    GetContactName(unborn, text, 80);
    EXPECT_STREQ(L"", text);
    ContactRecord record;
    for (auto& field : record.field)
        CopyText(field, L"kept");
    GetContactRecord(unborn, &record);
    for (const auto& field : record.field)
        EXPECT_STREQ(L"kept", field) << "the record of a missing contact is left as it was";

    // Long texts are cut to the buffer without splitting a character: 77
    // letters, then U+1F33F as a surrogate pair in places 78 and 79.
    const std::wstring street = std::wstring(77, L's') + L"\xD83C\xDF3F" + std::wstring(300, L't');
    const CEOID oid = Add(L"Long Street");
    SetText(oid, 5, street);
    GetContactFieldText(oid, 5, text, 79);
    EXPECT_EQ(std::wstring(77, L's'), text) << "the pair does not fit, so neither half is kept";
    GetContactFieldText(oid, 5, text, 80);
    EXPECT_EQ(street.substr(0, 79), text);

    wchar_t guard[4] = {L'a', L'b', L'c', L'd'};
    GetContactFieldText(oid, 5, guard, 3);
    EXPECT_EQ(L's', guard[0]);
    EXPECT_EQ(0, guard[2]);
    EXPECT_EQ(L'd', guard[3]) << "nothing written past the buffer";

    GetContactRecord(oid, &record);
    EXPECT_EQ(street.substr(0, 79), record.field[5]);
    EXPECT_STREQ(L"Long Street", record.field[0]);
    EXPECT_STREQ(L"", record.field[14]);

    // The field texts of many contacts come from one visit.
    const CEOID ann = Add(L"Baker, Ann", L"Acme", L"", OleDate(At(1980, 5, 17)));
    const CEOID ben = Add(L"Cole, Ben");
    SetText(ben, 9, std::wstring(100, L'9'));
    const CEOID gone = Add(L"Gone, Gil", L"Old");
    ASSERT_TRUE(poom::DeleteContactRecord(gone));

    const CEOID oids[] = {ben, gone, ann, ben};
    const int fields[] = {20, 4, 9};
    int fetched = -1;
    const std::vector<std::wstring> texts = GetContactFieldTexts(oids, 4, fields, 3, &fetched);
    EXPECT_EQ(2, fetched);
    const std::wstring nine(CONTACT_FIELD_TEXT_CAPACITY - 1, L'9');
    EXPECT_EQ((std::vector<std::wstring>{L"", L"", nine, L"", L"", L"", ShortDate(OleDate(At(1980, 5, 17))), L"Acme", L"",
                                         L"", L"", nine}),
              texts);
    EXPECT_TRUE(GetContactFieldTexts(oids, 0, fields, 3, &fetched).empty());
    EXPECT_EQ(0, fetched);
}

TEST_F(ContactsTest, FindTextIsLowerCaseActivityFieldsComeFromTheLatestActivityAndNamesSortTheStore)
{
    const CEOID oid = Add(L"Tran, MAI", L"Glen ROSS Distillers");
    EXPECT_EQ(L"glen ross distillers", FindText(oid, 4));
    // Unlike the lists, the find filter formats the no-date value as a date.
    EXPECT_EQ(Lower(ShortDate(949998.0)), FindText(oid, BIRTHDAY_FIELD));
    EXPECT_EQ(L"", FindText(oid, 29));
    WriteActivity(oid, FALSE, L"Letter", L"older notes", OleDate(At(2026, 1, 5)));
    WriteActivity(oid, TRUE, L"Phone Call", L"Asked about SPRING Prices\r\nCall Back", OleDate(At(2026, 3, 9)));
    // An absent Next Date reads "(none)" as the list shows it.
    const std::wstring latest[] = {Lower(ShortDate(OleDate(At(2026, 3, 9)))), L"(none)", L"phone call", L"send offer",
                                   L"asked about spring prices\r\ncall back", L"west region", L"", L"trade fair"};
    for (int field = 21; field <= 28; ++field)
        EXPECT_EQ(latest[field - 21], FindText(oid, field)) << field;

    // Without a latest activity every activity field is empty.
    const CEOID unflagged = Add(L"Unflagged");
    WriteActivity(unflagged, FALSE, L"Meeting", L"Notes", OleDate(At(2026, 2, 2)));
    const CEOID idle = Add(L"No Activities");
    for (int field = 21; field <= 28; ++field)
        EXPECT_EQ(L"", FindText(unflagged, field) + FindText(idle, field)) << field;

    // The property names are the ones the store sorts by.
    IPOutlookItemCollection* items = nullptr;
    ASSERT_EQ(S_OK, contactsFolder->get_Items(&items));
    for (int field = 0; field < CONTACT_FIELD_COUNT; ++field) {
        BSTR name = SysAllocString(ContactPropertyName(field));
        EXPECT_EQ(S_OK, items->Sort(name, VARIANT_FALSE)) << field;
        SysFreeString(name);
    }
    items->Release();
}
