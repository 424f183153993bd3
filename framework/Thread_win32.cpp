#include "ThreadNative.h"

#include <windows.h>

namespace {

// Indexed by TThreadPriority.
constexpr int WindowsPriority[] = {THREAD_PRIORITY_IDLE,   THREAD_PRIORITY_LOWEST,  THREAD_PRIORITY_BELOW_NORMAL,
                                   THREAD_PRIORITY_NORMAL, THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
                                   THREAD_PRIORITY_TIME_CRITICAL};

} // namespace

std::int64_t CurrentNativeThreadId() { return static_cast<std::int64_t>(GetCurrentThreadId()); }

void SetNativePriority(std::int64_t ThreadId, TThreadPriority Priority)
{
    // Opened by id for the one call, so that no handle has to live as long as the thread.
    const HANDLE Thread = OpenThread(THREAD_SET_INFORMATION, FALSE, static_cast<DWORD>(ThreadId));
    if (!Thread)
        return;
    SetThreadPriority(Thread, WindowsPriority[static_cast<int>(Priority)]);
    CloseHandle(Thread);
}
