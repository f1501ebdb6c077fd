// Profiles: named sets of contact categories, one "pfile-" database of text
// records each, and the category restriction built from the active one. The
// category names come from the device's "Categories Database".
#pragma once
#include <cstddef>

// Category and profile names hold at most 29 characters and the terminator.
constexpr int CATEGORY_NAME_CAPACITY = 30;
using CategoryName = wchar_t[CATEGORY_NAME_CAPACITY];

constexpr wchar_t PROFILE_PREFIX[] = L"pfile-";
constexpr wchar_t ALL_PROFILES[] = L"All";
// A database name holds 31 characters, six of them the prefix.
constexpr int MAX_PROFILE_NAME = 25;

// The device's categories, read at start-up; freed with the main window.
extern CategoryName* categoryList;
extern int categoryCount;

// Number of profiles in the Profiles menu; profile n has command 60000 + n.
extern int profileCount;

// "[Categories] = "A,B"" for the active profile; empty or null when every
// contact is shown. The contact source restricts its listing with it.
extern wchar_t* categoryRestriction;

// Reads the device's categories into *list (count in *count). 1 on success;
// 0 with a message when they cannot be read, 0 silently when there are none.
int ReadCategoryList(CategoryName** list, int* count);
void FreeCategoryList();

// The categories of a profile in its database's order; a missing profile
// database is created empty. *list is null when there are none.
int ReadProfileCategories(const wchar_t* profile, CategoryName** list);
int CountProfiles();
// The profile names in the volume's order; *list is null when there are none.
int ListProfiles(CategoryName** list);
// Whether the volume holds a profile of exactly this name.
bool IsStoredProfile(const wchar_t* name);

// Rebuilds categoryRestriction for the named profile ("All": none).
void BuildCategoryRestriction(const wchar_t* profile);
// The restriction text for a set of categories: empty for none. A double
// quote in a name is written doubled; a name with a comma cannot be one of a
// contact's categories (the device separates them with commas) and is left
// out, and a profile of only such names matches no contact.
void FormatCategoryRestriction(const CategoryName* categories, int count, wchar_t** restriction);
void FreeCategoryRestriction();
