#include "platform/cedb/core/log_format.h"

#include <cstring>

#include "platform/cedb/core/crc32c.h"
#include "platform/cedb/core/property.h"

namespace cedb {
namespace {

const char kMagic[8] = {'V', 'T', 'R', 'O', 'V', 'O', 'L', '\0'};

uint32_t EntryCrc(const char* head_without_crc, uint32_t generation, const char* payload, size_t n)
{
    char gen[4];
    for (int i = 0; i < 4; ++i) gen[i] = static_cast<char>(generation >> (8 * i));
    uint32_t crc = Crc32c(head_without_crc, kEntryHeaderSize - 4);
    crc = Crc32cExtend(crc, gen, 4);
    return Crc32cExtend(crc, payload, n);
}

// A crafted file can put a plausible entry header at every byte, each
// claiming megabytes to check: a scan hashes at most this many times the
// file's size, and a file that needs more is taken for damaged. An honest
// file needs about three times its size at most: its valid entries, then
// its damaged tail twice (the entry that failed, the entries after it).
constexpr uint64_t kHashBudgetPerByte = 8;

enum class Probe { kValid, kInvalid, kUnknownType, kOverBudget };

// `file` holds the volume's bytes from offset `base` on.
Probe ProbeEntry(const char* file, size_t n, uint64_t at, uint32_t generation, uint64_t* budget, LogEntry* e,
                 uint64_t* synced, uint64_t base = 0)
{
    if (at + kEntryHeaderSize > n) return Probe::kInvalid;
    const char* p = file + at;
    uint32_t len = GetU32(p + 4);
    uint8_t type = static_cast<uint8_t>(p[8]);
    uint64_t sync = GetU64(p + 9);
    if (type == 0 || len > kMaxEntryPayload || len > n - at - kEntryHeaderSize || sync > base + at)
        return Probe::kInvalid;
    if (len > *budget) return Probe::kOverBudget;
    *budget -= len;
    if (GetU32(p) != EntryCrc(p + 4, generation, p + kEntryHeaderSize, len)) return Probe::kInvalid;
    e->offset = base + at;
    e->type = type;
    e->payload = p + kEntryHeaderSize;
    e->size = len;
    e->synced = sync;
    *synced = sync;
    return type > kLastEntryType ? Probe::kUnknownType : Probe::kValid;
}

}  // namespace

void EncodeHeader(const Header& h, std::string* out)
{
    size_t start = out->size();
    out->append(kMagic, sizeof kMagic);
    PutU32(out, h.version);
    PutU32(out, h.generation);
    PutU32(out, h.next_oid);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, Crc32c(out->data() + start, kHeaderSize - 4));
}

Status DecodeHeader(const char* data, size_t n, Header* h)
{
    if (n < kHeaderSize || std::memcmp(data, kMagic, sizeof kMagic) != 0)
        return Status::Error(kErrFileCorrupt, "not a volume file (bad magic)");
    if (GetU32(data + kHeaderSize - 4) != Crc32c(data, kHeaderSize - 4))
        return Status::Error(kErrFileCorrupt, "volume header checksum mismatch");
    h->version = GetU32(data + 8);
    h->generation = GetU32(data + 12);
    h->next_oid = GetU32(data + 16);
    if (h->version != kFormatVersion)
        return Status::Error(kErrFileCorrupt, "unsupported volume format version " + std::to_string(h->version));
    return Status::Ok();
}

bool IsInterruptedCreation(const char* data, size_t n)
{
    if (n >= kHeaderSize) return false;
    bool zeros = true;
    for (size_t i = 0; i < n; ++i) zeros = zeros && data[i] == 0;
    return zeros || std::memcmp(data, kMagic, n < sizeof kMagic ? n : sizeof kMagic) == 0;
}

void AppendEntry(std::string* out, uint32_t generation, uint8_t type, uint64_t synced, const char* payload, size_t n)
{
    size_t start = out->size();
    PutU32(out, 0);
    PutU32(out, static_cast<uint32_t>(n));
    out->push_back(static_cast<char>(type));
    PutU64(out, synced);
    out->append(payload, n);
    uint32_t crc = EntryCrc(out->data() + start + 4, generation, payload, n);
    for (int i = 0; i < 4; ++i) (*out)[start + i] = static_cast<char>(crc >> (8 * i));
}

LogScan ScanLog(const char* file, size_t n, uint32_t generation)
{
    LogScan scan;
    uint64_t at = kHeaderSize;
    LogEntry e;
    uint64_t synced;
    uint64_t budget = kHashBudgetPerByte * n;
    for (;;) {
        Probe pr = ProbeEntry(file, n, at, generation, &budget, &e, &synced);
        if (pr == Probe::kUnknownType) {
            scan.corrupt = true;
            scan.problem = "unknown entry type " + std::to_string(e.type) + " at offset " + std::to_string(at);
            scan.valid_end = at;
            return scan;
        }
        if (pr != Probe::kValid) break;
        scan.entries.push_back(e);
        at += kEntryHeaderSize + e.size;
    }
    scan.valid_end = at;
    if (at >= n) return scan;

    // Something other than a valid entry at `at`. It is a torn tail only if
    // nothing written after it claims that it had been flushed.
    for (uint64_t p = at + 1; p + kEntryHeaderSize <= n; ++p) {
        Probe pr = ProbeEntry(file, n, p, generation, &budget, &e, &synced);
        if (pr == Probe::kOverBudget) {
            scan.corrupt = true;
            scan.problem = "damaged entry at offset " + std::to_string(at) +
                           ", followed by more candidate entries than a volume holds (checked up to offset " +
                           std::to_string(p) + ")";
            return scan;
        }
        if (pr == Probe::kInvalid) continue;
        if (synced > at) {
            scan.corrupt = true;
            scan.problem = "damaged entry at offset " + std::to_string(at) + " before flushed data at offset " +
                           std::to_string(p);
            return scan;
        }
    }
    for (uint64_t p = at; p < n; ++p) {
        if (file[p] != 0) {
            scan.torn_tail = true;
            scan.problem = "torn tail of " + std::to_string(n - at) + " bytes at offset " + std::to_string(at);
            break;
        }
    }
    return scan;
}

}  // namespace cedb

namespace cedb {

LogScan ScanAppended(const char* data, size_t n, uint64_t base, uint32_t generation)
{
    LogScan scan;
    uint64_t at = 0;
    LogEntry e;
    uint64_t synced;
    uint64_t budget = kHashBudgetPerByte * n;
    while (ProbeEntry(data, n, at, generation, &budget, &e, &synced, base) == Probe::kValid) {
        scan.entries.push_back(e);
        at += kEntryHeaderSize + e.size;
    }
    scan.valid_end = base + at;
    return scan;
}

}  // namespace cedb
