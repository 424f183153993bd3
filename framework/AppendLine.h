// A line appended to a file that several threads and processes append to, such as a log of units
// done: in one write to a file opened for appending, so that lines never interleave, and whole or
// not at all, so that a line that does not fit (a full disk) is cut back off and the next does not
// glue onto its start.
#pragma once

#include <chrono>
#include <functional>
#include <string>

// Creates File when missing; false (the system's reason in Reason) when it can't be opened for
// appending or Line could not be written whole. A symbolic link is followed only when it belongs to
// the one who runs the program or to the owner of its folder, as the kernel's protected_symlinks rule
// has it, whatever the system's setting: a link that another user planted in a shared folder could
// otherwise send the line into any file this program may write. Windows follows no link at all.
bool AppendLine(const std::string& File, const std::string& Line, std::string& Reason);

// The appenders' lock is held for one write; one held this long is some other program's.
inline constexpr std::chrono::milliseconds AppendLockWait{2000};
// Tries Take every millisecond until it succeeds or AppendLockWait has passed; false then.
bool TakeAppendLock(const std::function<bool()>& Take);
