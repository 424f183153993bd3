// The subcommands of sw30415 that talk to the device. Each returns the program's exit code.
#pragma once

#include <string>

// The firmware update; an empty Image: the image beside the program, as the window uses.
int RunUpdate(const std::string& Port, const std::string& Image);
// The boot check and the device check only.
int RunCheck(const std::string& Port);
