// The pieces of sw30415 that each platform gives in a file of its own: the console's interrupts and
// terminal, the record file, and the adapter behind a port.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include <nlohmann/json.hpp>

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

// The file of the update records: Line appended in one write to a file opened for appending, so that
// the lines of several threads and several processes never interleave; whole or not at all, so that
// a line that does not fit (a full disk) is cut back off and the next does not glue onto its start.
// Creates File when missing; false (the system's reason in Reason) when it can't be opened for
// appending or Line could not be written whole. A symbolic link is followed only when it belongs to
// the one who runs the program or to the owner of its folder, as the kernel's protected_symlinks rule
// has it, whatever the system's setting: a link that another user planted in a shared folder could
// otherwise send the record into any file this program may write.
bool AppendToRecordFile(const std::string& File, const std::string& Line, std::string& Reason);
// The appenders' lock is held for one write; one held this long is some other program's.
inline constexpr std::chrono::milliseconds RecordLockWait{2000};
// Tries Take every millisecond until it succeeds or RecordLockWait has passed; false then.
bool TakeRecordLock(const std::function<bool()>& Take);

// The adapter behind a port, as far as the system knows it: on Linux the USB vendor and product ids,
// serial number and bus path from sysfs (nothing for a port with no USB device behind it, such as a
// pseudo-terminal); on Windows the port's name. Root: where the system's folders are found (dev/,
// sys/), other than / only for the tests.
nlohmann::ordered_json AdapterIdentity(const std::string& Port, const std::filesystem::path& Root = "/");

