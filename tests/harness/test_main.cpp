// Entry point of every test executable.
#include <gtest/gtest.h>

#include <cstdio>
#ifdef _WIN32
#include <windows.h>
#endif

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
#ifdef _WIN32
    // Every case has reported: under a loaded Wine the process's own
    // teardown has been seen to stall past the suite's limit, which would
    // turn a passed suite into a timeout. The program's own exit is tried
    // by the suites that start it as a process.
    std::fflush(stdout);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(result));
#endif
    return result;
}
