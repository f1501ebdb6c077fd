// Listing the device's contacts: sorted by name or by the contacts list's
// sort column, narrowed by the category restriction and the find bar.
#include "contacts/contact_items.h"

#include <oleauto.h>

#include <cstdlib>

#include "contacts/contact_fields.h"
#include "contacts/field_catalogue.h"
#include "settings/settings.h"
#include "base/text.h"
#include "store/activity_database.h"
#include "store/find_filter.h"
#include "store/profiles.h"

namespace {

constexpr int FIND_FIELD_TEXT_CAPACITY = 200;

bool HasRestriction()
{
    return categoryRestriction && categoryRestriction[0];
}

void SortCollection(IPOutlookItemCollection* items, int sortMode)
{
    const wchar_t* property = L"[FileAs]";
    VARIANT_BOOL descending = VARIANT_FALSE;
    if (sortMode != SORT_BY_NAME) {
        // Last-activity columns have no contact property: those rows are
        // listed by name and re-sorted by the list itself.
        if (settings.lv1sortcolumn >= 0 && settings.lv1sortcolumn < settings.numcontactfield &&
            settings.lv1sortcolumn < CONTACT_COLUMN_SLOTS) {
            property = ContactPropertyName(settings.contactfield[settings.lv1sortcolumn]);
            // Direction 1 is a column's natural order everywhere, as the
            // sort arrow shows it: A to Z for a contact's text.
            descending = settings.lv1sortdirection ? VARIANT_FALSE : VARIANT_TRUE;
        }
        if (!property[0])
            property = L"[FileAs]";
    }
    BSTR text = SysAllocString(property);
    items->Sort(text, descending);
    SysFreeString(text);
}

// The sorted, restricted collection with its columns set; null when the
// folder gives none.
IPOutlookItemCollection* EnumerateContacts(int sortMode, bool restrict, const wchar_t* columns)
{
    if (!contactsFolder)
        return nullptr;
    IPOutlookItemCollection* items = nullptr;
    if (FAILED(contactsFolder->get_Items(&items)) || !items)
        return nullptr;
    SortCollection(items, sortMode);
    if (restrict && HasRestriction()) {
        IPOutlookItemCollection* restricted = nullptr;
        BSTR text = SysAllocString(categoryRestriction);
        if (SUCCEEDED(items->Restrict(text, &restricted)) && restricted) {
            items->Release();
            items = restricted;
        }
        SysFreeString(text);
    }
    IPOlItems* columnItems = nullptr;
    if (SUCCEEDED(items->QueryInterface(IID_IPOlItems, reinterpret_cast<void**>(&columnItems))) && columnItems) {
        BSTR text = SysAllocString(columns);
        columnItems->SetColumns(text);
        SysFreeString(text);
        columnItems->Release();
    }
    return items;
}

bool MatchesFind(IContact* contact, const LatestActivities* latest)
{
    wchar_t text[FIND_FIELD_TEXT_CAPACITY] = L"";
    GetFindFieldText(contact, settings.lastcontactfindfield, text, FIND_FIELD_TEXT_CAPACITY, latest);
    return MatchesFindText(text);
}

// Grows the caller's array to hold count entries; false when it cannot.
bool GrowOidArray(CEOID** oids, int count)
{
    void* grown = std::realloc(*oids, static_cast<size_t>(count) * sizeof(CEOID));
    if (!grown)
        return false;
    *oids = static_cast<CEOID*>(grown);
    return true;
}

void DropOidArray(CEOID** oids)
{
    std::free(*oids);
    *oids = nullptr;
}

// The sorted, restricted collection and its size, with the caller's array
// grown to hold one entry per item; null (and the array freed) when there
// is nothing to list.
IPOutlookItemCollection* StartListing(int sortMode, bool restrict, const wchar_t* columns, CEOID** oids,
                                      int* total)
{
    IPOutlookItemCollection* items = EnumerateContacts(sortMode, restrict, columns);
    *total = 0;
    if (!items || FAILED(items->get_Count(total)) || *total <= 0 || !GrowOidArray(oids, *total)) {
        if (items)
            items->Release();
        DropOidArray(oids);
        return nullptr;
    }
    return items;
}

// Calls visit for each contact of the collection that the find filter (when
// it applies) lets through; items that cannot be fetched are skipped.
template <class Visit>
void VisitContacts(IPOutlookItemCollection* items, int total, int findFlag, Visit visit)
{
    const bool filter = FindFilterApplies(findFlag, FIND_MODE_CONTACTS);
    // A find in a latest-activity field reads the flagged activities once.
    std::shared_ptr<const LatestActivities> latest;
    const bool byActivity = filter && settings.lastcontactfindfield >= CONTACT_FIELD_COUNT && activityDatabase &&
                            activityDatabase != INVALID_HANDLE_VALUE;
    if (byActivity)
        latest = LoadLatestActivities();
    for (int position = 1; position <= total; ++position) {
        IDispatch* item = nullptr;
        if (FAILED(items->Item(position, &item)))
            continue;
        IContact* contact = AsContact(item);
        if (!contact)
            continue;
        if (!filter || MatchesFind(contact, latest.get()))
            visit(contact);
        contact->Release();
    }
    items->Release();
}

}  // namespace

int CountContacts()
{
    IPOutlookItemCollection* items = nullptr;
    if (!contactsFolder || FAILED(contactsFolder->get_Items(&items)) || !items)
        return 0;
    int count = 0;
    if (FAILED(items->get_Count(&count)))
        count = 0;
    items->Release();
    return count;
}

void ListContactOids(CEOID** oids, int* count, int findFlag, int sortMode, int restrictFlag)
{
    *count = 0;
    int total = 0;
    IPOutlookItemCollection* items = StartListing(sortMode, restrictFlag == 1, L"CompanyName", oids, &total);
    if (!items)
        return;
    int filled = 0;
    VisitContacts(items, total, findFlag, [&](IContact* contact) {
        long oid = 0;
        contact->get_Oid(&oid);
        (*oids)[filled++] = static_cast<CEOID>(oid);
    });
    if (filled == 0)
        DropOidArray(oids);
    *count = filled;
}

std::vector<std::wstring> ListContactNames(CEOID** oids, bool restrict, int findFlag)
{
    std::vector<std::wstring> names;
    int total = 0;
    IPOutlookItemCollection* items = StartListing(SORT_BY_NAME, restrict, L"FileAs", oids, &total);
    if (!items)
        return names;
    VisitContacts(items, total, findFlag, [&](IContact* contact) {
        ReceivedString fileAs;
        contact->get_FileAs(&fileAs.text);
        wchar_t name[CONTACT_NAME_CAPACITY];
        CopyText(name, fileAs.Text());
        if (!name[0])
            return;
        long oid = 0;
        contact->get_Oid(&oid);
        (*oids)[names.size()] = static_cast<CEOID>(oid);
        names.emplace_back(name);
    });
    if (names.empty())
        DropOidArray(oids);
    return names;
}
