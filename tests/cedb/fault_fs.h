// An in-memory file system that remembers which writes were synced, so a
// test can "pull the plug" and decide what happens to the rest, and that can
// fail any chosen I/O call.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/cedb/core/file_system.h"

namespace cedb_test {

enum class Unsynced {
    kDropAll,   // the disk kept only what was synced
    kApplyAll,  // everything reached the disk (a process crash)
    kRandom,    // each unsynced write kept, lost or garbled
};

class FaultFileSystem : public cedb::FileSystem {
public:
    struct Op {
        bool truncate;
        uint64_t offset;  // or the new size
        std::string data;
    };
    struct State {
        std::string durable;
        std::string current;
        std::vector<Op> unsynced;
        bool locked = false;
    };

    // Fails the n-th counted call (1-based) from now; `persistent` fails
    // every later call too. n = 0 turns faults off.
    void FailAt(uint64_t n, bool persistent);
    uint64_t calls() const { return calls_; }
    // After the n-th sync from now, every call fails: the machine is down.
    void PowerOffAfterSyncs(uint64_t n);
    uint64_t syncs() const { return syncs_; }
    bool powered_off() const { return off_; }
    // The process dies in the write that reaches the n-th byte written from
    // now: that write puts down only the bytes before it, and every later
    // call fails. Crash(kApplyAll) then gives the disk the killed process left.
    void KillAtByte(uint64_t n) { kill_at_ = written_ + n; }
    uint64_t bytes_written() const { return written_; }

    // The next `times` renames are refused with `code`, changing nothing.
    void RefuseRenames(int times, uint32_t code);
    // The next rename replaces its target as FAT does, deleting it first,
    // and the machine goes down before the move.
    void DieInsideNextRename() { die_in_rename_ = true; }
    uint32_t paused_ms() const { return paused_; }

    // Resolves unsynced writes as `how` says, then the machine is up again.
    // Every File of the crashed run must be gone.
    void Crash(Unsynced how, std::mt19937* rng);

    void SetContents(const std::string& path, const std::string& bytes);
    bool GetContents(const std::string& path, std::string* bytes) const;

    cedb::Status Open(const std::string& path, cedb::OpenMode mode, std::unique_ptr<cedb::File>* out) override;
    cedb::Status Rename(const std::string& from, const std::string& to) override;
    cedb::Status Remove(const std::string& path) override;
    bool Exists(const std::string& path) override;
    void Pause(uint32_t milliseconds) override { paused_ += milliseconds; }

    // Counts a call and says whether it must fail.
    cedb::Status Tick(const char* what);
    void CountSync();
    // How many of a write's n bytes land before a kill.
    size_t Landing(size_t n);

private:
    std::map<std::string, std::shared_ptr<State>> files_;
    uint64_t calls_ = 0;
    uint64_t fail_at_ = 0;
    bool persistent_ = false;
    uint64_t power_after_ = 0;
    uint64_t syncs_ = 0;
    bool off_ = false;
    int refusals_ = 0;
    uint32_t refusal_code_ = 0;
    bool die_in_rename_ = false;
    uint32_t paused_ = 0;
    uint64_t written_ = 0;
    uint64_t kill_at_ = UINT64_MAX;
};

}  // namespace cedb_test
