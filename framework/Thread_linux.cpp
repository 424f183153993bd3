#include "ThreadNative.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

std::int64_t CurrentNativeThreadId() { return static_cast<std::int64_t>(syscall(SYS_gettid)); }

void SetNativePriority(std::int64_t ThreadId, TThreadPriority Priority)
{
    // Linux gives each thread its own nice value; one priority step is one nice step.
    const int Step = static_cast<int>(Priority) - static_cast<int>(TThreadPriority::tpNormal);
    setpriority(PRIO_PROCESS, static_cast<id_t>(ThreadId), -Step);
}
