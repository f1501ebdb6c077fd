// Every change a workload makes to its files, in order, recorded once over
// memory files. The engine does the same work up to a kill whatever the kill
// point is, so the disk a process killed at any byte of its write stream
// leaves can be rebuilt from the record without running the workload again:
// the operating system keeps every byte a process wrote, synced or not.
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/cedb/fault_fs.h"
#include "tests/cedb/workload.h"

namespace cedb_test {

struct FileChange {
    enum Kind { kCreate, kWrite, kTruncate, kRename, kRemove, kAcknowledge } kind = kWrite;
    int file = 0;          // which file (kept across renames)
    std::string path;      // kCreate, kRename: the file's new name
    uint64_t offset = 0;   // kWrite: where; kTruncate: the new size
    std::string data;      // kWrite
    size_t acknowledged = 0;  // kAcknowledge: steps flushed, as the caller learns
};

class WriteStream {
public:
    // Runs the script on a new volume at `path` over memory files.
    static WriteStream Record(const Script& script, const std::string& path, const cedb::MountOptions& options);

    uint64_t bytes() const { return bytes_; }

    // The files left by a kill at byte `cut` (the write that reaches it puts
    // down only the part before it), and how many steps had been
    // acknowledged as flushed before that write began.
    void KilledAt(uint64_t cut, FaultFileSystem* disk, size_t* acknowledged) const;
    // The same files' names and bytes.
    std::map<std::string, std::string> FilesKilledAt(uint64_t cut, size_t* acknowledged) const;

    std::vector<FileChange> changes;

private:
    uint64_t bytes_ = 0;
};

}  // namespace cedb_test
