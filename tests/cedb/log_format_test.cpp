// The log reader against hand-made logs: where a valid prefix ends, and when
// damage is a torn tail (truncated) rather than corruption (refused).
#include <gtest/gtest.h>

#include "platform/cedb/core/crc32c.h"
#include "platform/cedb/core/log_format.h"
#include "platform/cedb/core/property.h"
#include "tests/cedb/crafted_volumes.h"

namespace {

using namespace cedb;

constexpr uint32_t kGen = 7;

struct LogBuilder {
    std::string bytes;
    std::vector<size_t> offsets;
    LogBuilder()
    {
        Header h;
        h.generation = kGen;
        EncodeHeader(h, &bytes);
    }
    // `synced` says how much of the file had been flushed when the entry was written.
    LogBuilder& Add(uint64_t synced, uint8_t type = kEntryPutRecord, size_t len = 20)
    {
        offsets.push_back(bytes.size());
        std::string payload(len, static_cast<char>('a' + offsets.size()));
        AppendEntry(&bytes, kGen, type, synced, payload.data(), payload.size());
        return *this;
    }
    // Each entry claims everything before it was flushed.
    LogBuilder& AddFlushed(size_t n)
    {
        for (size_t i = 0; i < n; ++i) Add(bytes.size());
        return *this;
    }
    LogScan Scan() const { return ScanLog(bytes.data(), bytes.size(), kGen); }
};

TEST(Crc32c, MatchesTheCastagnoliCheckValue)
{
    EXPECT_EQ(0xE3069283u, Crc32c("123456789", 9));
    // Split input continues the same CRC.
    EXPECT_EQ(Crc32c("123456789", 9), Crc32cExtend(Crc32c("1234", 4), "56789", 5));
    // The table-driven form agrees at every length and byte, continued or not.
    EXPECT_EQ(0xE3069283u, Crc32cExtendPortable(0, "123456789", 9));
    std::string bytes;
    for (int i = 0; i < 300; ++i) bytes += static_cast<char>((i * 167 + 13) & 0xFF);
    for (size_t n = 0; n <= bytes.size(); n += 7)
        EXPECT_EQ(Crc32c(bytes.data(), n), Crc32cExtendPortable(Crc32cExtendPortable(0, bytes.data(), n / 3),
                                                               bytes.data() + n / 3, n - n / 3)) << n;
}

TEST(LogHeader, RoundTripsAndRejectsDamage)
{
    Header h;
    h.generation = 3;
    h.next_oid = 99;
    std::string b;
    EncodeHeader(h, &b);
    ASSERT_EQ(kHeaderSize, b.size());
    Header back;
    ASSERT_TRUE(DecodeHeader(b.data(), b.size(), &back).ok());
    EXPECT_EQ(3u, back.generation);
    EXPECT_EQ(99u, back.next_oid);

    for (size_t i = 0; i < b.size(); ++i) {
        std::string bad = b;
        bad[i] ^= 0x10;
        EXPECT_EQ(kErrFileCorrupt, DecodeHeader(bad.data(), bad.size(), &back).code) << "byte " << i;
    }
    EXPECT_EQ(kErrFileCorrupt, DecodeHeader(b.data(), b.size() - 1, &back).code);
}

TEST(LogHeader, RecognisesAnInterruptedCreation)
{
    std::string b;
    EncodeHeader(Header(), &b);
    EXPECT_TRUE(IsInterruptedCreation("", 0));
    EXPECT_TRUE(IsInterruptedCreation(b.data(), 5));
    EXPECT_TRUE(IsInterruptedCreation(std::string(12, '\0').data(), 12));
    EXPECT_FALSE(IsInterruptedCreation(b.data(), b.size()));
    EXPECT_FALSE(IsInterruptedCreation("hello", 5));
}

// Where the valid prefix ends, and whether what follows is a torn tail
// (truncated at mount) or damage in the flushed part (refused).
TEST(LogScan, ValidPrefixTornTailAndCorruption)
{
    struct Case {
        const char* what;
        void (*make)(LogBuilder&);
        bool corrupt, torn;
        size_t entries;
        size_t end_at;  // the valid prefix ends where this entry starts (or would)
        const char* problem;
        uint32_t generation;
    } cases[] = {
        {"clean", [](LogBuilder& l) { l.AddFlushed(5); }, false, false, 5, 5, "", kGen},
        {"bad length at the end", [](LogBuilder& l) { l.AddFlushed(3).bytes[l.offsets[2] + 4] = '\x7f'; },
         false, true, 2, 2, "", kGen},
        {"bad length in the middle", [](LogBuilder& l) { l.AddFlushed(4).bytes[l.offsets[1] + 5] = '\x01'; },
         true, false, 1, 1, "damaged entry at offset 69", kGen},
        // Flushed entries follow the damage: it had been durable.
        {"checksum before flushed entries",
         [](LogBuilder& l) { l.AddFlushed(4).bytes[l.offsets[1] + kEntryHeaderSize + 3] ^= 1; }, true, false, 1, 1,
         "", kGen},
        // Entries after it were written in the same unflushed batch: a crash
        // garbled one of them, so the whole batch is a torn tail.
        {"checksum in the unflushed batch",
         [](LogBuilder& l) {
             l.AddFlushed(2);
             const uint64_t synced = l.bytes.size();
             l.Add(synced).Add(synced).Add(synced).bytes[l.offsets[3] + kEntryHeaderSize] ^= 0x40;
         },
         false, true, 3, 3, "", kGen},
        {"unknown type", [](LogBuilder& l) { l.AddFlushed(2).Add(l.bytes.size(), 9); }, true, false, 2, 2,
         "unknown entry type 9 at offset 106", kGen},
        {"zero type ends the log", [](LogBuilder& l) { l.AddFlushed(2).Add(l.bytes.size(), 0); }, false, true, 2, 2,
         "", kGen},
        {"zeros allocated ahead", [](LogBuilder& l) { l.AddFlushed(3).bytes.append(4096, '\0'); }, false, false, 3,
         3, "", kGen},
        {"a byte among the zeros",
         [](LogBuilder& l) {
             l.AddFlushed(3).bytes.append(4096, '\0');
             l.bytes[l.offsets[2] + 1000] = 1;
         },
         false, true, 3, 3, "", kGen},
        {"another generation", [](LogBuilder& l) { l.AddFlushed(2); }, false, true, 0, 0, "", kGen + 1},
    };
    for (const Case& c : cases) {
        LogBuilder log;
        c.make(log);
        const LogScan s = ScanLog(log.bytes.data(), log.bytes.size(), c.generation);
        EXPECT_EQ(c.corrupt, s.corrupt) << c.what;
        EXPECT_EQ(c.torn, s.torn_tail) << c.what;
        EXPECT_EQ(c.entries, s.entries.size()) << c.what;
        const uint64_t end = c.end_at < log.offsets.size() ? log.offsets[c.end_at] : log.offsets.back() + kEntryHeaderSize + 20;
        EXPECT_EQ(end, s.valid_end) << c.what;
        EXPECT_NE(std::string::npos, s.problem.find(c.problem)) << c.what << ": " << s.problem;
        for (size_t i = 0; i < s.entries.size(); ++i) EXPECT_EQ('b' + i, s.entries[i].payload[0]) << c.what;
    }
    // A tail cut anywhere inside the last entry leaves the entries before it.
    LogBuilder full;
    full.AddFlushed(4);
    for (size_t cut = 1; cut < kEntryHeaderSize + 20; ++cut) {
        LogScan s = ScanLog(full.bytes.data(), full.bytes.size() - cut, kGen);
        EXPECT_FALSE(s.corrupt) << cut;
        EXPECT_EQ(3u, s.entries.size()) << cut;
        EXPECT_EQ(full.offsets[3], s.valid_end) << cut;
    }
}

TEST(LogScan, CandidateEntriesPastDamageCostABoundedMultipleOfTheFile)
{
    // Every candidate claims the rest of the file: checking them all would
    // hash about the square of its size.
    const std::string crafted = cedb_test::CandidateHeadersVolume(256 << 10);
    LogScan s = ScanLog(crafted.data(), crafted.size(), Header().generation);
    EXPECT_TRUE(s.corrupt);
    EXPECT_NE(std::string::npos, s.problem.find("candidate entries")) << s.problem;

    // An honest file of that size whose unflushed batch was garbled at its
    // first entry: every entry after it is checked once, and it is torn.
    LogBuilder log;
    log.AddFlushed(2);
    const uint64_t synced = log.bytes.size();
    while (log.bytes.size() < crafted.size()) log.Add(synced, kEntryPutRecord, 4000);
    log.bytes[log.offsets[2] + kEntryHeaderSize] ^= 1;
    s = log.Scan();
    EXPECT_FALSE(s.corrupt) << s.problem;
    EXPECT_TRUE(s.torn_tail);
    EXPECT_EQ(log.offsets[2], s.valid_end);
}

TEST(PropertyCodec, RoundTripsEveryTypeAndRejectsMalformedBytes)
{
    std::vector<Prop> props(7);
    props[0].id = 0x10002; props[0].i = -5;
    props[1].id = 0x20003; props[1].i = -70000;
    props[2].id = 0x30005; props[2].d = 2.5;
    props[3].id = 0x4000B; props[3].i = 1;
    props[4].id = 0x5001F; props[4].s = u"h\u00e9llo";
    props[5].id = 0x60041; props[5].blob = std::string("\0\1\2", 3);
    props[6].id = 0x70040; props[6].i = 0x0123456789ABCDEFll;
    std::string b;
    EncodeProps(props, &b);
    std::vector<Prop> back;
    ASSERT_TRUE(DecodeProps(b.data(), b.size(), &back));
    // The other types round-trip through the API's reads.
    ASSERT_EQ(7u, back.size());
    EXPECT_EQ(0x0123456789ABCDEFll, back[6].i);

    // The non-copying form (the same parser) sees strings and blobs in place.
    std::vector<PropRef> refs;
    ASSERT_TRUE(DecodePropRefs(b.data(), b.size(), &refs));
    ASSERT_EQ(7u, refs.size());
    const SortKey folded{0x5001F, kSortCaseInsensitive};
    EXPECT_EQ(u"h\u00e9llo", *MakeKeyValue(&refs[4], folded).s);
    EXPECT_EQ(*MakeKeyValue(&props[4], folded).s, *MakeKeyValue(&refs[4], folded).s);
    EXPECT_EQ(std::string("\0\1\2", 3), std::string(refs[5].bytes, refs[5].len));

    for (size_t cut = 0; cut < b.size(); ++cut) EXPECT_FALSE(DecodeProps(b.data(), cut, &back)) << cut;
    std::string dup;
    EncodeProps({props[0], props[0]}, &dup);
    EXPECT_FALSE(DecodePropRefs(dup.data(), dup.size(), &refs));
    // However far apart, among as many properties as a record may hold.
    std::vector<Prop> wide(0xFFFF);
    for (size_t k = 0; k < wide.size(); ++k) wide[k].id = static_cast<uint32_t>((wide.size() - k) << 16 | kTypeI2);
    std::string w;
    EncodeProps(wide, &w);
    EXPECT_TRUE(DecodePropRefs(w.data(), w.size(), &refs));
    wide.back().id = wide.front().id;
    w.clear();
    EncodeProps(wide, &w);
    EXPECT_FALSE(DecodePropRefs(w.data(), w.size(), &refs));
    std::string unknown = b;
    unknown[2] = 0x77;  // first property's type
    EXPECT_FALSE(DecodeProps(unknown.data(), unknown.size(), &back));
}

}  // namespace
