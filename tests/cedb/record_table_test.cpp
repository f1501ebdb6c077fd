// The record table against std::unordered_map through random inserts and
// erases: growth and the closing of gaps after an erase move records, and
// each must keep its own payload.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <unordered_map>

#include "platform/cedb/core/record_table.h"

namespace {

using cedb::Payload;
using cedb::Record;
using cedb::RecordTable;

void ExpectSame(RecordTable& table, const std::unordered_map<uint32_t, std::string>& ref)
{
    ASSERT_EQ(ref.size(), table.size());
    size_t seen = 0;
    table.ForEach([&](uint32_t oid, Record& r) {
        ++seen;
        auto it = ref.find(oid);
        ASSERT_NE(ref.end(), it) << oid;
        ASSERT_EQ(it->second, std::string(r.payload.data(), r.payload.size())) << oid;
        ASSERT_EQ(oid, r.db);
    });
    EXPECT_EQ(ref.size(), seen);
}

TEST(RecordTable, MatchesAHashMapThroughRandomInsertsAndErases)
{
    std::mt19937 rng(29);
    RecordTable table;
    std::unordered_map<uint32_t, std::string> ref;
    // Dense ids as a volume hands them out, then ids spread over the whole
    // range, then ids that differ only in their high bits.
    const auto pick = [&](int round) -> uint32_t {
        if (round < 2) return 1 + rng() % 3000;
        if (round < 4) return 1 + rng() % 0xFFFFFFFEu;
        return (1 + rng() % 64) << 24;
    };
    for (int round = 0; round < 6; ++round) {
        for (int i = 0; i < 5000; ++i) {
            const uint32_t oid = pick(round);
            if (rng() % 3) {
                const std::string bytes = "record " + std::to_string(oid) + std::string(rng() % 40, 'x');
                bool created;
                Record* r = table.Insert(oid, &created);
                ASSERT_EQ(ref.count(oid) == 0, created) << oid;
                r->db = oid;
                r->payload = Payload::Copy(bytes.data(), bytes.size());
                ref[oid] = bytes;
            } else {
                EXPECT_EQ(ref.erase(oid) == 1, table.Erase(oid)) << oid;
                EXPECT_EQ(nullptr, table.Find(oid));
            }
        }
        ExpectSame(table, ref);
        for (int i = 0; i < 2000; ++i) {
            const uint32_t oid = pick(round);
            EXPECT_EQ(ref.count(oid) == 1, table.Find(oid) != nullptr) << oid;
        }
    }
    EXPECT_EQ(nullptr, table.Find(0));
    EXPECT_FALSE(table.Erase(0));
}

}  // namespace
