#include "store/profiles.h"

#include "base/message_box.h"
#include "base/text.h"
#include "settings/settings.h"
#include "store/database.h"
#include "store/volume.h"

#include <cstdlib>
#include <cwchar>
#include <string>

CategoryName* categoryList;
int categoryCount;
int profileCount = 0;
wchar_t* categoryRestriction;

static_assert(CATEGORY_NAME_CAPACITY == PROFILE_NAME_CAPACITY, "the active profile is one of the listed names");

namespace {

constexpr wchar_t CATEGORIES_DATABASE[] = L"Categories Database";
constexpr size_t PREFIX_LENGTH = 6;
constexpr int RESTRICTION_STEP = 80;
constexpr int TEXT_READ_CAPACITY = 80;

void ReportCategoryError(const wchar_t* text)
{
    AppMessageBox(nullptr, text, L"Error", 0);
}

bool GrowList(CategoryName** list, int count)
{
    void* grown = std::realloc(*list, static_cast<size_t>(count) * sizeof(CategoryName));
    if (!grown)
        return false;
    *list = static_cast<CategoryName*>(grown);
    return true;
}

void DropList(CategoryName** list)
{
    std::free(*list);
    *list = nullptr;
}

// The object id of the device's categories database, 0 when there is none;
// false when the enumeration itself failed.
bool FindCategoriesDatabase(CEOID* found, CEOIDINFO* info)
{
    *found = 0;
    HANDLE enumeration = CeFindFirstDatabase(0);
    if (enumeration == INVALID_HANDLE_VALUE)
        return true;
    bool ok = true;
    for (CEOID oid; (oid = CeFindNextDatabase(enumeration)) != 0;) {
        if (!CeOidGetInfo(oid, info)) {
            ok = false;
            break;
        }
        if (std::wcsstr(info->infDatabase.szDbaseName, CATEGORIES_DATABASE)) {
            *found = oid;
            break;
        }
    }
    CloseHandle(enumeration);
    return ok;
}

bool IsProfileDatabase(const wchar_t* name)
{
    return std::wcsncmp(name, PROFILE_PREFIX, PREFIX_LENGTH) == 0;
}

// Calls visit with each profile's name, in the volume's order.
template <typename Visit>
void ForEachProfile(Visit visit)
{
    HANDLE enumeration = CeFindFirstDatabaseEx(&volumeGuid, 0);
    if (enumeration == INVALID_HANDLE_VALUE)
        return;
    for (CEOID oid; (oid = CeFindNextDatabaseEx(enumeration, &volumeGuid)) != 0;) {
        CEOIDINFO info = {};
        if (!CeOidGetInfoEx(&volumeGuid, oid, &info))
            break;
        if (IsProfileDatabase(info.infDatabase.szDbaseName))
            visit(info.infDatabase.szDbaseName + PREFIX_LENGTH);
    }
    CloseHandle(enumeration);
}

std::wstring ProfileDatabaseName(const wchar_t* profile)
{
    // Cut to the 31 characters a database name holds.
    wchar_t name[CEDB_MAXDBASENAMELEN];
    CopyText(name, (std::wstring(PROFILE_PREFIX) + (profile ? profile : L"")).c_str());
    return name;
}

} // namespace

int ReadCategoryList(CategoryName** list, int* count)
{
    *count = 0;
    CEOIDINFO info = {};
    CEOID oid = 0;
    if (!FindCategoriesDatabase(&oid, &info))
        return 0;
    if (oid == 0) {
        ReportCategoryError(L"The database doesn't exist");
        return 0;
    }
    HANDLE database = CeOpenDatabase(&oid, nullptr, 0, CEDB_AUTOINCREMENT, nullptr);
    if (database == INVALID_HANDLE_VALUE) {
        ReportCategoryError(GetLastError() == ERROR_NOT_ENOUGH_MEMORY ? L"Not enough memory"
                                                                      : L"The database doesn't exist");
        return 0;
    }
    const int records = info.infDatabase.wNumRecords;
    if (records == 0 || !GrowList(list, records)) {
        CloseHandle(database);
        return 0;
    }
    DWORD index = 0;
    CeSeekDatabase(database, CEDB_SEEK_BEGINNING, 0, &index);
    BYTE* buffer = nullptr;
    DWORD size = 0;
    int read = 0;
    for (; read < records; ++read) {
        WORD properties = 0;
        if (!CeReadRecordPropsEx(database, CEDB_ALLOWREALLOC, &properties, nullptr, &buffer, &size, nullptr)) {
            ReportCategoryError(L"Handle Read Failure");
            break;
        }
        (*list)[read][0] = 0;
        const CEPROPVAL* values = reinterpret_cast<const CEPROPVAL*>(buffer);
        // The last string property of a record names the category.
        for (WORD p = 0; p < properties; ++p)
            if (TypeFromPropID(values[p].propid) == CEVT_LPWSTR)
                CopyText((*list)[read], values[p].val.lpwstr);
    }
    if (buffer)
        LocalFree(buffer);
    CloseHandle(database);
    if (read < records)
        return 0;
    *count = records;
    return 1;
}

void FreeCategoryList()
{
    DropList(&categoryList);
    categoryCount = 0;
}

int ReadProfileCategories(const wchar_t* profile, CategoryName** list)
{
    CEOID oid = 0;
    int count = 0;
    HANDLE database = OpenCreateDB(&oid, &count, ProfileDatabaseName(profile).c_str(), PROPID_TEXT, true);
    if (!database || count <= 0 || !GrowList(list, count)) {
        if (database)
            CloseHandle(database);
        DropList(list);
        return 0;
    }
    wchar_t text[TEXT_READ_CAPACITY];
    for (int i = 0; i < count; ++i) {
        text[0] = 0;
        ReadTextRecordDB(database, text, TEXT_READ_CAPACITY);
        CopyText((*list)[i], text);
    }
    CloseHandle(database);
    return count;
}

int CountProfiles()
{
    int count = 0;
    ForEachProfile([&](const wchar_t*) { ++count; });
    return count;
}

int ListProfiles(CategoryName** list)
{
    const int count = CountProfiles();
    if (count == 0 || !GrowList(list, count)) {
        DropList(list);
        return 0;
    }
    int listed = 0;
    ForEachProfile([&](const wchar_t* name) {
        if (listed < count)
            CopyText((*list)[listed++], name);
    });
    return listed;
}

bool IsStoredProfile(const wchar_t* name)
{
    bool found = false;
    ForEachProfile([&](const wchar_t* profile) { found = found || std::wcscmp(profile, name) == 0; });
    return found;
}

void FormatCategoryRestriction(const CategoryName* categories, int count, wchar_t** restriction)
{
    std::wstring text;
    if (count > 0) {
        std::wstring joined;
        for (int i = 0; i < count; ++i) {
            if (std::wcschr(categories[i], L','))
                continue;
            if (!joined.empty())
                joined += L',';
            for (const wchar_t* c = categories[i]; *c; ++c)
                joined += *c == L'"' ? L"\"\"" : std::wstring(1, *c);
        }
        text = L"[Categories] = \"" + joined + L"\"";
    }
    // Grown in steps of 80 characters, so the whole text always fits.
    const size_t capacity = (text.size() / RESTRICTION_STEP + 1) * RESTRICTION_STEP;
    void* grown = std::realloc(*restriction, capacity * sizeof(wchar_t));
    if (!grown) {
        // Without room for the text no restriction may pass for one.
        std::free(*restriction);
        *restriction = nullptr;
        return;
    }
    *restriction = static_cast<wchar_t*>(grown);
    CopyText(*restriction, capacity, text.c_str());
}

void BuildCategoryRestriction(const wchar_t* profile)
{
    CategoryName* categories = nullptr;
    int count = 0;
    if (profile && std::wcscmp(profile, ALL_PROFILES) != 0)
        count = ReadProfileCategories(profile, &categories);
    FormatCategoryRestriction(categories, count, &categoryRestriction);
    std::free(categories);
}

void FreeCategoryRestriction()
{
    std::free(categoryRestriction);
    categoryRestriction = nullptr;
}
