// The subcommands of sw30415 that talk to the device. Each returns the program's exit code.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "FirmwareUpdate.h"

// What a command does with the job on one port; Port: the port's place in the list given.
using TPortJob = std::function<TUpdateOutcome(TFirmwareUpdate& Job, size_t Port)>;

// Opens Port and runs Job there, its status texts and progress on stdout.
int RunOnPort(const std::string& Port, const TPortJob& Job);
// The update's job: Image written, read back and compared.
TPortJob UpdateJob(const std::string& Image);

// The firmware update; an empty Image: the image beside the program, as the window uses.
int RunUpdate(const std::string& Port, const std::string& Image);
// The boot check and the device check only.
int RunCheck(const std::string& Port);
