// The pieces of sw30415 that each platform gives in a file of its own: the console's interrupts and
// terminal.
#pragma once

#include <atomic>

// Ctrl-C, and where there are signals SIGTERM and SIGHUP (a closed terminal, a dropped session; on
// Windows the console closed): noted, so that the running job can abandon its run and clean up. A
// standard output whose reader went away does not end the job either. The handlers call NoteInterrupt.
void InstallInterruptHandlers();

inline std::atomic<bool> InterruptSeen{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");
inline bool Interrupted() { return InterruptSeen.load(); }
// Safe in a signal handler and on the thread Windows runs a console handler on.
inline void NoteInterrupt() { InterruptSeen.store(true); }

// Whether stdout is a terminal that takes the progress bar's redrawing escapes.
bool StdoutIsTerminal();
