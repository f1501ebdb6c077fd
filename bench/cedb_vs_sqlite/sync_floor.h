// The physical floor of a flush: the writes and syncs a workload's flushes
// made to one volume file, recorded, then made again with plain pwrite and
// fdatasync on a file of the same shape and no engine in between.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/cedb/core/forwarding_file_system.h"

namespace bench {

class SyncFloor : public cedb::ForwardingFileSystem {
public:
    // Records what is done to `volume` (the engine's path) from now on.
    explicit SyncFloor(const std::string& volume);
    ~SyncFloor() override;

    // What follows belongs to the next operation; what came before the first
    // mark is the file's set-up.
    void Mark() { operations_.emplace_back(); }

    // The bare file at `path`, given the recorded set-up; false on an I/O error.
    // A volume filled before the recording began is copied first, so the bare
    // writes land in a file of the same size.
    bool Prepare(const std::string& path, bool copyVolume = false);
    // Makes operation i's writes and syncs on the bare file.
    bool Replay(size_t i);

    struct Io {
        bool sync;
        uint64_t offset;  // writes only
        size_t size;
    };
    void Add(const Io& io) { (operations_.empty() ? setup_ : operations_.back()).push_back(io); }

private:
    std::unique_ptr<cedb::File> Wrap(const std::string& path, cedb::OpenMode, std::unique_ptr<cedb::File> file) override;
    bool Apply(const std::vector<Io>& ios);
    bool CopyVolume();

    std::string volume_;
    std::vector<Io> setup_;
    std::vector<std::vector<Io>> operations_;
    std::string bytes_;
    int bare_ = -1;
};

}  // namespace bench
