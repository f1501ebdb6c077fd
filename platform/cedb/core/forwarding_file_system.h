// A file system that passes every call on to another one. Layers that
// watch or change a few calls (a disk that fills up, a process that dies in
// a write, a recorder of syncs) derive from it and override only those.
#pragma once
#include <memory>
#include <string>
#include <utility>

#include "platform/cedb/core/file_system.h"

namespace cedb {

class ForwardingFile : public File {
public:
    explicit ForwardingFile(std::unique_ptr<File> base) : base_(std::move(base)) {}
    Status Read(uint64_t offset, void* buf, size_t n, size_t* got) override { return base_->Read(offset, buf, n, got); }
    Status Write(uint64_t offset, const void* data, size_t n) override { return base_->Write(offset, data, n); }
    Status Sync() override { return base_->Sync(); }
    Status Truncate(uint64_t size) override { return base_->Truncate(size); }
    Status Size(uint64_t* size) override { return base_->Size(size); }

protected:
    std::unique_ptr<File> base_;
};

class ForwardingFileSystem : public FileSystem {
public:
    explicit ForwardingFileSystem(FileSystem* base) : base_(base) {}
    // Opens through the base, then lets Wrap put a layer around the file.
    Status Open(const std::string& path, OpenMode mode, std::unique_ptr<File>* out) override
    {
        std::unique_ptr<File> file;
        Status s = base_->Open(path, mode, &file);
        if (s.ok()) *out = Wrap(path, mode, std::move(file));
        return s;
    }
    Status Rename(const std::string& from, const std::string& to) override { return base_->Rename(from, to); }
    Status Remove(const std::string& path) override { return base_->Remove(path); }
    bool Exists(const std::string& path) override { return base_->Exists(path); }
    Status OpenLock(const std::string& path, std::unique_ptr<FileLock>* out) override
    {
        return base_->OpenLock(path, out);
    }
    void Pause(uint32_t milliseconds) override { base_->Pause(milliseconds); }

protected:
    virtual std::unique_ptr<File> Wrap(const std::string&, OpenMode, std::unique_ptr<File> file) { return file; }

    FileSystem* base_;
};

}  // namespace cedb
