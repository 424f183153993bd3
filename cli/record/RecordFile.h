// The file of the update records: lines appended, each in one write to a file opened for appending,
// so that the lines of several threads and several processes never interleave. A line goes in whole
// or not at all: one that does not fit (a full disk) is cut back off, so that the next one does not
// glue onto its start.
#pragma once

#include <chrono>
#include <functional>
#include <string>

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

// Time in UTC, ISO 8601 to the millisecond: 2026-01-02T03:04:05.006Z.
std::string UtcText(std::chrono::system_clock::time_point Time);
