// What the running process holds and spends, as the system counts it: for tests and benches that
// check that a run leaves nothing behind or that a waiting thread stays idle. Linux only.
#pragma once

#include <cstddef>
#include <ctime>
#include <filesystem>
#include <iterator>

inline size_t CountEntries(const char* Directory)
{
    const std::filesystem::directory_iterator Entries(Directory);
    return static_cast<size_t>(std::distance(begin(Entries), end(Entries)));
}

inline size_t OpenDescriptors() { return CountEntries("/proc/self/fd"); }
inline size_t ProcessThreads() { return CountEntries("/proc/self/task"); }

// The processor time Clock counted: the whole process's, or with CLOCK_THREAD_CPUTIME_ID the calling
// thread's.
inline double CpuSeconds(clockid_t Clock = CLOCK_PROCESS_CPUTIME_ID)
{
    timespec Now{};
    clock_gettime(Clock, &Now);
    return static_cast<double>(Now.tv_sec) + static_cast<double>(Now.tv_nsec) / 1e9;
}
