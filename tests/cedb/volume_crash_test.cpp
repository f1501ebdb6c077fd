// Seeded crash trials against real files: a child process runs a
// write-heavy workload and dies at a byte of its write stream chosen from the
// seed (the write that reaches it lands only in part); then the same
// workload runs over a file layer that loses power at a seeded sync and
// keeps, drops or garbles what was not synced. Each time the volume must
// mount and equal the state after some prefix of the work that includes
// every acknowledged flush. A seed reproduces its trial exactly.
//
//   volume_crash_test --trials N --seed S
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/cedb/fault_fs.h"
#include "tests/cedb/workload.h"

namespace {

using cedb::MountOptions;
using cedb::Volume;

std::string g_dir;

bool Check(cedb::FileSystem* fs, const std::string& path, const cedb_test::Script& script, size_t acked,
           std::string* why)
{
    std::unique_ptr<Volume> v;
    cedb::Status s = Volume::Mount(fs, path, MountOptions(), &v);
    if (!s.ok()) {
        *why = "volume does not mount: " + s.message;
        return false;
    }
    if (!cedb_test::MatchesPrefix(script, cedb_test::Digest(*v), acked)) {
        *why = "lost or half-applied changes (" + std::to_string(acked) + " steps were flushed)";
        return false;
    }
    s = v->Unmount();
    if (!s.ok()) {
        *why = "unmount after recovery failed: " + s.message;
        return false;
    }
    return true;
}

// Files that count the bytes written; the write that reaches the limit puts
// only its first part on disk and the process dies there.
class DyingFileSystem : public cedb::FileSystem {
public:
    DyingFileSystem(uint64_t limit, cedb::FileSystem* real) : limit(limit), real(real) {}
    cedb::Status Open(const std::string& path, cedb::OpenMode mode, std::unique_ptr<cedb::File>* out) override
    {
        std::unique_ptr<cedb::File> file;
        cedb::Status s = real->Open(path, mode, &file);
        if (s.ok()) out->reset(new DyingFile(std::move(file), this));
        return s;
    }
    cedb::Status Rename(const std::string& from, const std::string& to) override { return real->Rename(from, to); }
    cedb::Status Remove(const std::string& path) override { return real->Remove(path); }
    bool Exists(const std::string& path) override { return real->Exists(path); }

    const uint64_t limit;
    uint64_t written = 0;

private:
    class DyingFile : public cedb::File {
    public:
        DyingFile(std::unique_ptr<cedb::File> file, DyingFileSystem* fs) : file(std::move(file)), fs(fs) {}
        cedb::Status Read(uint64_t offset, void* buf, size_t n, size_t* got) override
        {
            return file->Read(offset, buf, n, got);
        }
        cedb::Status Write(uint64_t offset, const void* data, size_t n) override
        {
            if (fs->limit - fs->written <= n) {
                (void)file->Write(offset, data, static_cast<size_t>(fs->limit - fs->written));
                raise(SIGKILL);
            }
            fs->written += n;
            return file->Write(offset, data, n);
        }
        cedb::Status Sync() override { return file->Sync(); }
        cedb::Status Truncate(uint64_t size) override { return file->Truncate(size); }
        cedb::Status Size(uint64_t* size) override { return file->Size(size); }

    private:
        std::unique_ptr<cedb::File> file;
        DyingFileSystem* fs;
    };
    cedb::FileSystem* real;
};

// Child: runs the script over files that die at the given byte, reporting
// each acknowledged step over the pipe.
[[noreturn]] void RunChild(const std::string& path, const cedb_test::Script& script, uint64_t dieAt, int fd)
{
    DyingFileSystem fs(dieAt, cedb::FileSystem::Default());
    std::unique_ptr<Volume> v;
    if (!Volume::Mount(&fs, path, MountOptions(), &v).ok()) _exit(2);
    for (size_t i = 0; i < script.steps.size(); ++i) {
        if (!cedb_test::RunStep(v.get(), script.steps[i]).ok()) _exit(3);
        auto kind = script.steps[i].kind;
        if (kind == cedb_test::Step::kFlush || kind == cedb_test::Step::kCompact) {
            uint32_t acked = static_cast<uint32_t>(i + 1);
            if (write(fd, &acked, sizeof acked) != sizeof acked) _exit(4);
        }
    }
    _exit(0);
}

// How many bytes the whole script writes (in memory: the count is the same).
uint64_t BytesWritten(const cedb_test::Script& script)
{
    cedb_test::FaultFileSystem memory;
    DyingFileSystem fs(UINT64_MAX, &memory);
    std::unique_ptr<Volume> v;
    if (Volume::Mount(&fs, "dry.vol", MountOptions(), &v).ok()) cedb_test::RunScript(v.get(), script);
    return fs.written;
}

bool KillTrial(const cedb_test::Script& script, std::mt19937& rng, std::string* why)
{
    const std::string path = g_dir + "/crash.vol";
    std::remove(path.c_str());
    std::remove((path + ".compact").c_str());
    const uint64_t dieAt = rng() % (BytesWritten(script) + 1);
    int fds[2];
    if (pipe(fds) != 0) {
        *why = "pipe failed";
        return false;
    }
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        RunChild(path, script, dieAt, fds[1]);
    }
    close(fds[1]);
    uint32_t acked = 0, value;
    while (read(fds[0], &value, sizeof value) == sizeof value) acked = value;
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0) {
        *why = "workload failed in the child with code " + std::to_string(WEXITSTATUS(status));
        return false;
    }
    if (!Check(cedb::FileSystem::Default(), path, script, acked, why)) {
        *why += " (killed at byte " + std::to_string(dieAt) + ")";
        return false;
    }
    return true;
}

bool PowerTrial(const cedb_test::Script& script, std::mt19937& rng, std::string* why)
{
    cedb_test::FaultFileSystem fs;
    fs.PowerOffAfterSyncs(1 + rng() % 60);
    size_t acked = 0;
    {
        std::unique_ptr<Volume> v;
        if (Volume::Mount(&fs, "p.vol", MountOptions(), &v).ok()) acked = cedb_test::RunScript(v.get(), script);
    }
    fs.Crash(cedb_test::Unsynced::kRandom, &rng);
    return Check(&fs, "p.vol", script, acked, why);
}

}  // namespace

int main(int argc, char** argv)
{
    long trials = 100;
    unsigned long seed = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--trials")) trials = std::strtol(argv[i + 1], nullptr, 10);
        else if (!std::strcmp(argv[i], "--seed")) seed = std::strtoul(argv[i + 1], nullptr, 10);
        else {
            std::fprintf(stderr, "usage: %s --trials N --seed S\n", argv[0]);
            return 2;
        }
    }
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp ? tmp : "/tmp") + "/volume_crash_XXXXXX";
    if (!mkdtemp(&pattern[0])) {
        std::perror("mkdtemp");
        return 2;
    }
    g_dir = pattern;
    for (long t = 0; t < trials; ++t) {
        const uint32_t s = static_cast<uint32_t>(seed + t);
        std::mt19937 rng(s);
        const cedb_test::Script script = cedb_test::MakeScript(s, 120);
        std::string why;
        if (!KillTrial(script, rng, &why) || !PowerTrial(script, rng, &why)) {
            std::fprintf(stderr, "trial %ld failed: %s\nreproduce with: %s --trials 1 --seed %u\n", t, why.c_str(),
                         argv[0], s);
            return 1;
        }
    }
    std::string cleanup = g_dir + "/crash.vol";
    std::remove(cleanup.c_str());
    rmdir(g_dir.c_str());
    std::printf("%ld crash trials from seed %lu: no loss\n", trials, seed);
    return 0;
}
