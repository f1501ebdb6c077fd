// Loads the card files the tests are written against, and compares the
// contacts read from them.
#pragma once
#include "contacts/vcard/vcard.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

inline std::string ReadCardFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline std::string ReadTestCards(const char* name)
{
    return ReadCardFile(std::string(CARD_DATA_DIR) + "/" + name);
}

inline void ExpectSameContact(const vcard::CardContact& a, const vcard::CardContact& b, const std::string& where)
{
    for (int i = 0; i < vcard::kCardFields; ++i)
        EXPECT_EQ(a.text[i], b.text[i]) << where << ", field " << i;
    EXPECT_EQ(a.birthday, b.birthday) << where;
    EXPECT_EQ(a.anniversary, b.anniversary) << where;
    EXPECT_EQ(a.categories, b.categories) << where;
    EXPECT_EQ(a.uid, b.uid) << where;
    EXPECT_EQ(a.extras, b.extras) << where;
}
