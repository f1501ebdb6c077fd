#include "settings/field_labels.h"

#include <gtest/gtest.h>

#include <string>

TEST(FieldLabels, ResetInstallsTheDefaultsOfAllTwentyNineFields)
{
    for (int i = 0; i < FIELD_COUNT; ++i)
        RenameFieldLabel(i, L"changed");
    ResetFieldLabels();
    EXPECT_STREQ(L"FileAs", ContactFieldLabel(0));
    EXPECT_STREQ(L"Company", ContactFieldLabel(4));
    EXPECT_STREQ(L"Zip/Postal Code", ContactFieldLabel(8));
    EXPECT_STREQ(L"Email", ContactFieldLabel(14));
    EXPECT_STREQ(L"Birthday", ContactFieldLabel(20));
    EXPECT_STREQ(L"Last Date", ActivityFieldLabel(0));
    EXPECT_STREQ(L"Next Action", ActivityFieldLabel(3));
    EXPECT_STREQ(L"User Field 3", ActivityFieldLabel(7));
    for (int i = 0; i < FIELD_COUNT; ++i) {
        EXPECT_STREQ(DefaultFieldLabel(i), FieldLabel(i)) << i;
        EXPECT_STRNE(L"changed", FieldLabel(i)) << i;
    }
}

TEST(FieldLabels, RenameAddressesBothNumberingsAndCutsAt29)
{
    ResetFieldLabels();
    EXPECT_TRUE(RenameFieldLabel(3, L"Job"));
    EXPECT_STREQ(L"Job", ContactFieldLabel(3));
    EXPECT_TRUE(RenameFieldLabel(21, L"Called on"));
    EXPECT_STREQ(L"Called on", ActivityFieldLabel(0));
    EXPECT_STREQ(L"Called on", FieldLabel(21));

    const std::wstring forty(40, L'w');
    EXPECT_TRUE(RenameFieldLabel(28, forty.c_str()));
    EXPECT_EQ(std::wstring(29, L'w'), ActivityFieldLabel(7));

    EXPECT_TRUE(RenameFieldLabel(0, nullptr));
    EXPECT_STREQ(L"", ContactFieldLabel(0));
}

TEST(FieldLabels, IndicesOutsideTheCatalogueChangeAndNameNothing)
{
    ResetFieldLabels();
    EXPECT_FALSE(RenameFieldLabel(-1, L"x"));
    EXPECT_FALSE(RenameFieldLabel(FIELD_COUNT, L"x"));
    for (int i = 0; i < FIELD_COUNT; ++i)
        EXPECT_STREQ(DefaultFieldLabel(i), FieldLabel(i));
    EXPECT_STREQ(L"", FieldLabel(29));
    EXPECT_STREQ(L"", ContactFieldLabel(21));
    EXPECT_STREQ(L"", ActivityFieldLabel(8));
    EXPECT_STREQ(L"", ActivityFieldLabel(-1));
    EXPECT_STREQ(L"", DefaultFieldLabel(-3));
}
