// Random crash trials against real files: a child process runs a
// write-heavy workload and is killed at a random point; then the same
// workload runs over a file layer that loses power at a random sync and
// keeps, drops or garbles what was not synced. Each time the volume must
// mount and equal the state after some prefix of the work that includes
// every acknowledged flush.
//
//   volume_crash_test --trials N --seed S
#include <csignal>
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

// Child: runs the script, reporting each acknowledged step over the pipe.
[[noreturn]] void RunChild(const std::string& path, const cedb_test::Script& script, int fd)
{
    std::unique_ptr<Volume> v;
    if (!Volume::Mount(cedb::FileSystem::Default(), path, MountOptions(), &v).ok()) _exit(2);
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

bool KillTrial(uint32_t seed, const cedb_test::Script& script, std::mt19937& rng, std::string* why)
{
    const std::string path = g_dir + "/crash.vol";
    std::remove(path.c_str());
    std::remove((path + ".compact").c_str());
    int fds[2];
    if (pipe(fds) != 0) {
        *why = "pipe failed";
        return false;
    }
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        RunChild(path, script, fds[1]);
    }
    close(fds[1]);
    size_t flushes = 0;
    for (const auto& s : script.steps)
        flushes += s.kind == cedb_test::Step::kFlush || s.kind == cedb_test::Step::kCompact;
    const size_t kill_after = rng() % (flushes + 1);
    uint32_t acked = 0, value;
    size_t seen = 0;
    while (seen < kill_after && read(fds[0], &value, sizeof value) == sizeof value) {
        acked = value;
        ++seen;
    }
    usleep(rng() % 3000);
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    while (read(fds[0], &value, sizeof value) == sizeof value) acked = value;
    close(fds[0]);
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0) {
        *why = "workload failed in the child with code " + std::to_string(WEXITSTATUS(status));
        return false;
    }
    (void)seed;
    return Check(cedb::FileSystem::Default(), path, script, acked, why);
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
        if (!KillTrial(s, script, rng, &why) || !PowerTrial(script, rng, &why)) {
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
