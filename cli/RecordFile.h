// The file of the update records: lines appended, each in one write to a file opened for appending,
// so that the lines of several threads and several processes never interleave.
#pragma once

#include <string>

// Creates File when missing; false (the system's reason in Reason) when it can't be opened for appending.
bool AppendToRecordFile(const std::string& File, const std::string& Line, std::string& Reason);
