// Seeded crash trials. Each trial's seed makes a write-heavy workload and a
// byte of its write stream at which the writing process dies (the write
// that reaches it lands only in part). The volume must then mount and equal
// the state after some prefix of the work that includes every acknowledged
// flush. A seed reproduces its trial exactly. (Power lost at each sync, with
// unsynced writes kept, dropped or garbled, is cedb_fault_injection_test's.)
//
// A kill is made over memory files, which is what makes a trial fast; kills
// of processes writing real files are shared_volume_test's.
//
//   volume_crash_test --trials N --seed S [--jobs J]
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tests/cedb/fault_fs.h"
#include "tests/cedb/workload.h"

namespace {

using cedb::MountOptions;
using cedb::Volume;

const char kVolume[] = "crash.vol";

// Zeros ahead of the log end in steps of a page, not a megabyte: a cut then
// falls among the entries most of the time, the file grows often, and the
// trial copies a few kilobytes instead of megabytes.
MountOptions Options()
{
    MountOptions options;
    options.allocate_ahead = 4096;
    return options;
}

// Runs the workload on `path` until it fails; the steps acknowledged.
size_t Run(cedb::FileSystem* fs, const std::string& path, const cedb_test::Script& script)
{
    std::unique_ptr<Volume> v;
    return Volume::Mount(fs, path, Options(), &v).ok() ? cedb_test::RunScript(v.get(), script) : 0;
}

bool Check(cedb::FileSystem* fs, const std::string& path, const cedb_test::Script& script, size_t acked,
           std::string* why)
{
    std::unique_ptr<Volume> v;
    cedb::Status s = Volume::Mount(fs, path, Options(), &v);
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

// A kill at a seeded byte of the workload's writes: the volume must hold
// every step acknowledged before the dying write.
bool Trial(uint32_t s, std::string* why)
{
    std::mt19937 rng(s);
    const cedb_test::Script script = cedb_test::MakeScript(s, 120);
    cedb_test::FaultFileSystem whole;
    Run(&whole, kVolume, script);
    const uint64_t cut = rng() % (whole.bytes_written() + 1);
    cedb_test::FaultFileSystem disk;
    disk.KillAtByte(cut);
    const size_t acked = Run(&disk, kVolume, script);
    disk.Crash(cedb_test::Unsynced::kApplyAll, nullptr);
    if (!Check(&disk, kVolume, script, acked, why)) {
        *why += " (killed at byte " + std::to_string(cut) + ")";
        return false;
    }
    return true;
}

// Trials first + jobs * k for this worker; false at the first failure.
bool RunTrials(long first, long trials, long jobs, unsigned long seed, const char* program)
{
    for (long t = first; t < trials; t += jobs) {
        const uint32_t s = static_cast<uint32_t>(seed + t);
        std::string why;
        if (!Trial(s, &why)) {
            std::fprintf(stderr, "trial %ld failed: %s\nreproduce with: %s --trials 1 --seed %u\n", t, why.c_str(),
                         program, s);
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    long trials = 100, jobs = 1;
    unsigned long seed = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--trials")) trials = std::strtol(argv[i + 1], nullptr, 10);
        else if (!std::strcmp(argv[i], "--seed")) seed = std::strtoul(argv[i + 1], nullptr, 10);
        else if (!std::strcmp(argv[i], "--jobs")) jobs = std::max(1L, std::strtol(argv[i + 1], nullptr, 10));
        else {
            std::fprintf(stderr, "usage: %s --trials N --seed S [--jobs J]\n", argv[0]);
            return 2;
        }
    }
    // Several workers, when asked for, each take every jobs-th trial.
    std::vector<pid_t> workers;
    bool passed = jobs > 1 || RunTrials(0, trials, 1, seed, argv[0]);
    for (long w = 0; w < jobs && jobs > 1; ++w) {
        const pid_t pid = fork();
        if (pid == 0) _exit(RunTrials(w, trials, jobs, seed, argv[0]) ? 0 : 1);
        workers.push_back(pid);
    }
    for (pid_t pid : workers) {
        int status = 0;
        waitpid(pid, &status, 0);
        passed = passed && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    if (!passed) return 1;
    std::printf("%ld crash trials from seed %lu: no loss\n", trials, seed);
    return 0;
}
