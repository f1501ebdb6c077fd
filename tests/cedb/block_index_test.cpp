// The blocked sorted set against std::set through long random runs of
// inserts and erases, so that blocks split, empty and vanish.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "platform/cedb/core/block_index.h"

namespace {

using Index = cedb::BlockIndex<int, std::less<int>>;

void ExpectSame(const Index& idx, const std::set<int>& ref)
{
    ASSERT_EQ(ref.size(), idx.size());
    auto r = ref.begin();
    size_t pos = 0;
    for (auto it = idx.begin(); it != idx.end(); ++it, ++r, ++pos) {
        ASSERT_EQ(*r, *it);
        ASSERT_EQ(pos, idx.Position(it));
        ASSERT_TRUE(idx.At(pos) == it);
    }
    // And backwards.
    auto rr = ref.rbegin();
    for (auto it = idx.end(); it != idx.begin(); ++rr) {
        --it;
        ASSERT_EQ(*rr, *it);
    }
    EXPECT_TRUE(idx.At(ref.size()) == idx.end());
}

TEST(BlockIndex, MatchesAnOrderedSetThroughRandomInsertsAndErases)
{
    std::mt19937 rng(17);
    Index idx{std::less<int>()};
    std::set<int> ref;
    for (int round = 0; round < 6; ++round) {
        const int range = round % 2 ? 3000 : 100000;
        for (int i = 0; i < 4000; ++i) {
            int v = static_cast<int>(rng() % range);
            if (rng() % 3) EXPECT_EQ(ref.insert(v).second, idx.insert(v));
            else EXPECT_EQ(ref.erase(v), idx.erase(v));
        }
        ExpectSame(idx, ref);
        for (int i = 0; i < 500; ++i) {
            int v = static_cast<int>(rng() % range);
            auto r = ref.lower_bound(v);
            auto it = idx.lower_bound(v);
            ASSERT_EQ(r == ref.end(), it == idx.end());
            if (r != ref.end()) {
                EXPECT_EQ(*r, *it);
            }
            EXPECT_EQ(ref.count(v) == 1, idx.find(v) != idx.end());
        }
    }
    // Appending in order fills blocks at the end.
    int top = ref.empty() ? 0 : *ref.rbegin();
    for (int i = 1; i <= 2000; ++i) {
        idx.emplace_hint(idx.end(), top + i);
        ref.insert(top + i);
    }
    idx.emplace_hint(idx.end(), -5);  // not at the end: an ordinary insert
    ref.insert(-5);
    ExpectSame(idx, ref);
    for (int v : std::set<int>(ref)) {
        ASSERT_EQ(1u, idx.erase(v));
        ref.erase(v);
        if (ref.size() % 997 == 0) ExpectSame(idx, ref);
    }
    EXPECT_TRUE(idx.begin() == idx.end());
}

}  // namespace
