// Whether a port could not be opened because another program holds it, from the open's system
// error code.
#pragma once

#ifdef _WIN32
#include <windows.h>

// A COM port open elsewhere refuses with "access denied".
inline bool PortHeld(int Error) { return Error == ERROR_ACCESS_DENIED || Error == ERROR_SHARING_VIOLATION; }
#else
#include <cerrno>

// The serial component refuses a port that another process has locked with EBUSY.
inline bool PortHeld(int Error) { return Error == EBUSY; }
#endif
