// Layout of a volume file:
//
//   header (32 bytes): magic "VTROVOL\0", u32 version, u32 generation,
//                      u32 next object id, u32 reserved x2, u32 CRC-32C of the above
//   entries:           u32 crc, u32 payload length, u8 type, u64 synced, payload
//   zeros:             space allocated ahead so that flushes rarely grow the file
//
// An entry's CRC covers its length, type, synced field, the file's generation
// and the payload. "synced" is how much of the file was known durable when the
// entry was written: damage at an offset below some later entry's synced
// value was once flushed, so it is corruption rather than a torn tail.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/cedb/core/status.h"

namespace cedb {

constexpr size_t kHeaderSize = 32;
constexpr uint32_t kFormatVersion = 1;
constexpr size_t kEntryHeaderSize = 17;
constexpr uint32_t kMaxEntryPayload = 16u << 20;

enum EntryType : uint8_t {
    kEntryCreateDatabase = 1,
    kEntryDeleteDatabase = 2,
    kEntryPutRecord = 3,
    kEntryDeleteRecord = 4,
    // Empty; written after a sync so the entries before it are known flushed
    // even when nothing else follows them.
    kEntryCheckpoint = 5,
};
constexpr uint8_t kLastEntryType = kEntryCheckpoint;

struct Header {
    uint32_t version = kFormatVersion;
    uint32_t generation = 1;
    uint32_t next_oid = 1;
};

void EncodeHeader(const Header& h, std::string* out);
// kErrFileCorrupt with a reason when the bytes are not a valid header.
Status DecodeHeader(const char* data, size_t n, Header* h);
// True when n bytes could be the start of a header whose write was cut
// short while the volume was being created.
bool IsInterruptedCreation(const char* data, size_t n);

void AppendEntry(std::string* out, uint32_t generation, uint8_t type, uint64_t synced, const char* payload,
                 size_t n);

struct LogEntry {
    uint64_t offset;  // from the start of the file
    uint8_t type;
    const char* payload;
    uint32_t size;
    uint64_t synced;
};

struct LogScan {
    std::vector<LogEntry> entries;
    uint64_t valid_end = kHeaderSize;  // end of the longest valid prefix
    bool torn_tail = false;            // non-zero bytes after valid_end, none of them flushed
    bool corrupt = false;              // damage in the flushed part: refuse to mount
    std::string problem;               // what was found, for messages and tools
};

// `file` is the whole volume file including its header.
LogScan ScanLog(const char* file, size_t n, uint32_t generation);
// The valid entries another process appended: `data` holds the file's bytes
// from offset `base` (the end of the log known so far) on. Stops at the first
// byte that does not start a valid entry; entry offsets are the file's.
LogScan ScanAppended(const char* data, size_t n, uint64_t base, uint32_t generation);

}  // namespace cedb
