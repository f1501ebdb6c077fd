#include "tests/cedb/write_stream.h"

#include <cstring>
#include <memory>

namespace cedb_test {
namespace {

using cedb::Status;

FileChange Change(FileChange::Kind kind, int file, const std::string& path)
{
    FileChange change;
    change.kind = kind;
    change.file = file;
    change.path = path;
    return change;
}

// Memory files that append each change they make to a list.
class RecordingFileSystem : public cedb::FileSystem {
public:
    explicit RecordingFileSystem(std::vector<FileChange>* changes) : changes_(changes) {}

    Status Open(const std::string& path, cedb::OpenMode mode, std::unique_ptr<cedb::File>* out) override
    {
        std::unique_ptr<cedb::File> file;
        Status s = memory_.Open(path, mode, &file);
        if (!s.ok()) return s;
        if (mode == cedb::OpenMode::kCreateNew) {
            names_[path] = next_file_;
            Add(Change(FileChange::kCreate, next_file_++, path));
        }
        out->reset(new RecordingFile(std::move(file), this, names_[path]));
        return s;
    }
    Status Rename(const std::string& from, const std::string& to) override
    {
        Status s = memory_.Rename(from, to);
        if (s.ok()) {
            names_[to] = names_[from];
            names_.erase(from);
            Add(Change(FileChange::kRename, names_[to], to));
        }
        return s;
    }
    Status Remove(const std::string& path) override
    {
        Status s = memory_.Remove(path);
        if (s.ok()) {
            Add(Change(FileChange::kRemove, names_[path], path));
            names_.erase(path);
        }
        return s;
    }
    bool Exists(const std::string& path) override { return memory_.Exists(path); }

    void Add(FileChange change) { changes_->push_back(std::move(change)); }

private:
    class RecordingFile : public cedb::File {
    public:
        RecordingFile(std::unique_ptr<cedb::File> file, RecordingFileSystem* fs, int id)
            : file_(std::move(file)), fs_(fs), id_(id)
        {
        }
        Status Read(uint64_t offset, void* buf, size_t n, size_t* got) override
        {
            return file_->Read(offset, buf, n, got);
        }
        Status Write(uint64_t offset, const void* data, size_t n) override
        {
            Status s = file_->Write(offset, data, n);
            if (s.ok() && n) {
                FileChange change = Change(FileChange::kWrite, id_, std::string());
                change.offset = offset;
                change.data.assign(static_cast<const char*>(data), n);
                fs_->Add(std::move(change));
            }
            return s;
        }
        Status Sync() override { return file_->Sync(); }
        Status Truncate(uint64_t size) override
        {
            Status s = file_->Truncate(size);
            if (s.ok()) {
                FileChange change = Change(FileChange::kTruncate, id_, std::string());
                change.offset = size;
                fs_->Add(std::move(change));
            }
            return s;
        }
        Status Size(uint64_t* size) override { return file_->Size(size); }

    private:
        std::unique_ptr<cedb::File> file_;
        RecordingFileSystem* fs_;
        int id_;
    };

    FaultFileSystem memory_;
    std::vector<FileChange>* changes_;
    std::map<std::string, int> names_;
    int next_file_ = 0;
};

void Put(std::string* contents, uint64_t offset, const std::string& data, size_t n)
{
    if (contents->size() < offset + n) contents->resize(offset + n, '\0');
    std::memcpy(&(*contents)[offset], data.data(), n);
}

}  // namespace

WriteStream WriteStream::Record(const Script& script, const std::string& path, const cedb::MountOptions& options)
{
    WriteStream stream;
    RecordingFileSystem fs(&stream.changes);
    {
        std::unique_ptr<cedb::Volume> v;
        if (cedb::Volume::Mount(&fs, path, options, &v).ok()) {
            for (size_t i = 0; i < script.steps.size(); ++i) {
                if (!RunStep(v.get(), script.steps[i]).ok()) break;
                const Step::Kind kind = script.steps[i].kind;
                if (kind == Step::kFlush || kind == Step::kCompact) {
                    FileChange change = Change(FileChange::kAcknowledge, 0, std::string());
                    change.acknowledged = i + 1;
                    fs.Add(std::move(change));
                }
            }
        }
    }
    for (const FileChange& c : stream.changes)
        if (c.kind == FileChange::kWrite) stream.bytes_ += c.data.size();
    return stream;
}

std::map<std::string, std::string> WriteStream::FilesKilledAt(uint64_t cut, size_t* acknowledged) const
{
    std::map<int, std::string> contents;
    std::map<std::string, int> names;
    uint64_t written = 0;
    *acknowledged = 0;
    for (const FileChange& c : changes) {
        bool killed = false;
        switch (c.kind) {
        case FileChange::kCreate:
            names[c.path] = c.file;
            contents[c.file].clear();
            break;
        case FileChange::kWrite:
            if (cut - written <= c.data.size()) {
                Put(&contents[c.file], c.offset, c.data, static_cast<size_t>(cut - written));
                killed = true;
                break;
            }
            Put(&contents[c.file], c.offset, c.data, c.data.size());
            written += c.data.size();
            break;
        case FileChange::kTruncate: contents[c.file].resize(c.offset, '\0'); break;
        case FileChange::kRename:
            for (auto it = names.begin(); it != names.end();)
                it = it->second == c.file ? names.erase(it) : std::next(it);
            names[c.path] = c.file;
            break;
        case FileChange::kRemove: names.erase(c.path); break;
        case FileChange::kAcknowledge: *acknowledged = c.acknowledged; break;
        }
        if (killed) break;
    }
    std::map<std::string, std::string> files;
    for (const auto& name : names) files[name.first] = contents[name.second];
    return files;
}

void WriteStream::KilledAt(uint64_t cut, FaultFileSystem* disk, size_t* acknowledged) const
{
    for (const auto& file : FilesKilledAt(cut, acknowledged)) disk->SetContents(file.first, file.second);
}

}  // namespace cedb_test
