// The system's side of TThread: an id for the running thread and its priority. One implementation
// per platform.
#pragma once

#include "Thread.h"

#include <cstdint>

// An id of the calling thread by which SetNativePriority reaches it from any thread; never 0.
std::int64_t CurrentNativeThreadId();
// Best effort: raising a priority needs privileges the process may not have.
void SetNativePriority(std::int64_t ThreadId, TThreadPriority Priority);
