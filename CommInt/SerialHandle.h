// The handle of a device or an event in the serial component, and the outcomes of a wait. Free of
// the system's headers, so that the units that include the component do not take them in.
#pragma once

#include <cstdint>

#ifdef _WIN32
// The system's HANDLE, spelled out rather than taken from <windows.h>; the Win32 back end checks that
// the two are the same type.
using THandle = void*;
#else
// A file descriptor.
using THandle = intptr_t;
#endif

enum class TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };
