#include "settings/field_labels.h"

#include <gtest/gtest.h>

#include <string>

// Fields count 0..28 across both catalogues; contact and activity fields also
// count from 0 each. Renames are cut at 29 characters; indices outside the
// catalogue change and name nothing.
TEST(FieldLabels, ResetRenameAndIndicesOutsideTheCatalogue)
{
    for (int i = 0; i < FIELD_COUNT; ++i)
        RenameFieldLabel(i, L"changed");
    ResetFieldLabels();
    EXPECT_STREQ(L"FileAs", ContactFieldLabel(0));
    EXPECT_STREQ(L"Zip/Postal Code", ContactFieldLabel(8));
    EXPECT_STREQ(L"Birthday", ContactFieldLabel(20));
    EXPECT_STREQ(L"Last Date", ActivityFieldLabel(0));
    EXPECT_STREQ(L"User Field 3", FieldLabel(28));

    EXPECT_FALSE(RenameFieldLabel(-1, L"x"));
    EXPECT_FALSE(RenameFieldLabel(FIELD_COUNT, L"x"));
    EXPECT_TRUE(RenameFieldLabel(3, L"Job"));
    EXPECT_STREQ(L"Job", ContactFieldLabel(3));
    EXPECT_TRUE(RenameFieldLabel(21, L"Called on"));
    EXPECT_STREQ(L"Called on", ActivityFieldLabel(0));
    EXPECT_STREQ(L"Last Date", DefaultFieldLabel(21));
    EXPECT_TRUE(RenameFieldLabel(28, std::wstring(40, L'w').c_str()));
    EXPECT_EQ(std::wstring(29, L'w'), ActivityFieldLabel(7));
    EXPECT_TRUE(RenameFieldLabel(0, nullptr));
    EXPECT_STREQ(L"", ContactFieldLabel(0));
    for (const wchar_t* label : {FieldLabel(29), FieldLabel(-1), ContactFieldLabel(21), ContactFieldLabel(-1),
                                 ActivityFieldLabel(8), ActivityFieldLabel(-1), DefaultFieldLabel(-3),
                                 DefaultFieldLabel(FIELD_COUNT)})
        EXPECT_STREQ(L"", label);
}
