// The subcommands of sw30415 that talk to the device. Each returns the program's exit code.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "FirmwareUpdate.h"

struct TImageFacts;
struct TUpdateFiles;

// What a command does with the job on one port; Port: the port's place in the list given.
using TPortJob = std::function<TUpdateOutcome(TFirmwareUpdate& Job, size_t Port)>;

// Opens Port and runs Job there, its status texts and progress on stdout; recorded when Files names
// a record file.
int RunOnPort(const std::string& Port, const TPortJob& Job, const TUpdateFiles& Files);
// The update's job: Image written, read back and compared.
TPortJob UpdateJob(const TImageFacts& Image);
// Why the file of Job's read run could not be written, for stderr; empty when it could.
std::string FileFaultText(const TFirmwareUpdate& Job);

// The firmware update of the checked image, recorded when Files names a record file.
int RunUpdate(const std::string& Port, const TUpdateFiles& Files);
// The boot check and the device check only.
int RunCheck(const std::string& Port);
