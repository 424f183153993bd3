// The subcommands of sw30415 that talk to the device. Each returns the program's exit code.
#pragma once

#include <string>

struct TUpdateFiles;

// The firmware update of the checked image, recorded when Files names a record file.
int RunUpdate(const std::string& Port, const TUpdateFiles& Files);
// The boot check and the device check only.
int RunCheck(const std::string& Port);
