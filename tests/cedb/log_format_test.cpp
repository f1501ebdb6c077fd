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
    std::string big(1000, 'x');
    EXPECT_NE(Crc32c(big.data(), big.size()), Crc32c(big.data(), big.size() - 1));
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

TEST(LogScan, CleanLogIsReadWhole)
{
    LogBuilder log;
    log.AddFlushed(5);
    LogScan s = log.Scan();
    EXPECT_FALSE(s.corrupt);
    EXPECT_FALSE(s.torn_tail);
    EXPECT_EQ(5u, s.entries.size());
    EXPECT_EQ(log.bytes.size(), s.valid_end);
    EXPECT_EQ('c', s.entries[1].payload[0]);
}

TEST(LogScan, TruncatedTailIsTorn)
{
    LogBuilder full;
    full.AddFlushed(4);
    for (size_t cut = 1; cut < kEntryHeaderSize + 20; ++cut) {
        std::string b = full.bytes.substr(0, full.bytes.size() - cut);
        LogScan s = ScanLog(b.data(), b.size(), kGen);
        EXPECT_FALSE(s.corrupt) << cut;
        EXPECT_EQ(3u, s.entries.size()) << cut;
        EXPECT_EQ(full.offsets[3], s.valid_end) << cut;
    }
}

TEST(LogScan, BadLengthAtTheEndIsTornAndInTheMiddleIsCorrupt)
{
    LogBuilder end;
    end.AddFlushed(3);
    end.bytes[end.offsets[2] + 4] = '\x7f';
    LogScan s = end.Scan();
    EXPECT_FALSE(s.corrupt);
    EXPECT_TRUE(s.torn_tail);
    EXPECT_EQ(2u, s.entries.size());

    LogBuilder mid;
    mid.AddFlushed(4);
    mid.bytes[mid.offsets[1] + 5] = '\x01';
    s = mid.Scan();
    EXPECT_TRUE(s.corrupt);
    EXPECT_NE(std::string::npos, s.problem.find(std::to_string(mid.offsets[1])));
}

TEST(LogScan, ChecksumMismatchIsCorruptOnlyWhenLaterEntriesWereFlushedAfterIt)
{
    // Flushed entries follow the damage: it had been durable, so refuse.
    LogBuilder flushed;
    flushed.AddFlushed(4);
    flushed.bytes[flushed.offsets[1] + kEntryHeaderSize + 3] ^= 1;
    EXPECT_TRUE(flushed.Scan().corrupt);

    // Entries after it were written in the same unflushed batch: a crash
    // garbled one of them, so the whole batch is a torn tail.
    LogBuilder unflushed;
    unflushed.AddFlushed(2);
    uint64_t synced = unflushed.bytes.size();
    unflushed.Add(synced).Add(synced).Add(synced);
    unflushed.bytes[unflushed.offsets[3] + kEntryHeaderSize] ^= 0x40;
    LogScan s = unflushed.Scan();
    EXPECT_FALSE(s.corrupt);
    EXPECT_TRUE(s.torn_tail);
    EXPECT_EQ(3u, s.entries.size());
    EXPECT_EQ(unflushed.offsets[3], s.valid_end);
}

TEST(LogScan, UnknownAndZeroTypes)
{
    LogBuilder unknown;
    unknown.AddFlushed(2).Add(unknown.bytes.size(), 9);
    LogScan s = unknown.Scan();
    EXPECT_TRUE(s.corrupt);
    EXPECT_NE(std::string::npos, s.problem.find("unknown entry type 9"));

    LogBuilder zero;
    zero.AddFlushed(2).Add(zero.bytes.size(), 0);
    s = zero.Scan();
    EXPECT_FALSE(s.corrupt);
    EXPECT_EQ(2u, s.entries.size());
}

TEST(LogScan, ZerosAtTheEndAreAllocationNotDamage)
{
    LogBuilder log;
    log.AddFlushed(3);
    size_t end = log.bytes.size();
    log.bytes.append(4096, '\0');
    LogScan s = log.Scan();
    EXPECT_FALSE(s.corrupt);
    EXPECT_FALSE(s.torn_tail);
    EXPECT_EQ(end, s.valid_end);
    log.bytes[end + 100] = 1;
    EXPECT_TRUE(log.Scan().torn_tail);
}

TEST(LogScan, EntriesOfAnotherGenerationAreNotValid)
{
    LogBuilder log;
    log.AddFlushed(2);
    LogScan s = ScanLog(log.bytes.data(), log.bytes.size(), kGen + 1);
    EXPECT_EQ(0u, s.entries.size());
    EXPECT_EQ(kHeaderSize, s.valid_end);
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
    ASSERT_EQ(7u, back.size());
    EXPECT_EQ(-5, back[0].i);
    EXPECT_EQ(-70000, back[1].i);
    EXPECT_EQ(2.5, back[2].d);
    EXPECT_EQ(u"h\u00e9llo", back[4].s);
    EXPECT_EQ(3u, back[5].blob.size());
    EXPECT_EQ(0x0123456789ABCDEFll, back[6].i);

    // The non-copying form sees the same values, strings and blobs in place.
    std::vector<PropRef> refs;
    ASSERT_TRUE(DecodePropRefs(b.data(), b.size(), &refs));
    ASSERT_EQ(7u, refs.size());
    EXPECT_EQ(-70000, refs[1].i);
    EXPECT_EQ(2.5, refs[2].d);
    EXPECT_EQ(0x0123456789ABCDEFll, refs[6].i);
    const SortKey folded{0x5001F, kSortCaseInsensitive};
    EXPECT_EQ(u"h\u00e9llo", *MakeKeyValue(&refs[4], folded).s);
    EXPECT_EQ(*MakeKeyValue(&props[4], folded).s, *MakeKeyValue(&refs[4], folded).s);
    EXPECT_EQ(std::string("\0\1\2", 3), std::string(refs[5].bytes, refs[5].len));

    for (size_t cut = 0; cut < b.size(); ++cut) {
        EXPECT_FALSE(DecodeProps(b.data(), cut, &back)) << cut;
        EXPECT_FALSE(DecodePropRefs(b.data(), cut, &refs)) << cut;
    }
    std::string dup;
    EncodeProps({props[0], props[0]}, &dup);
    EXPECT_FALSE(DecodeProps(dup.data(), dup.size(), &back));
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
    EXPECT_FALSE(DecodePropRefs(unknown.data(), unknown.size(), &refs));
}

}  // namespace
