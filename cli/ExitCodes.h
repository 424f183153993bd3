// The exit codes of sw30415: 0 only when the command found everything in order.
#pragma once

#include <string>

#include "FirmwareUpdate.h"

enum TExitCode : int {
    ecDone = 0,
    ecBadArguments = 2,
    ecPortNotOpened = 3,
    ecNotInBootMode = 4,
    ecWrongDevice = 5,
    ecNoImage = 6,
    ecWriteNotStarted = 7,
    ecReadNotStarted = 8,
    ecVerifyFailed = 9,
    ecStalledOrLinkLost = 10,
    ecReadFailed = 11,
    ecNotWritten = 12,
    ecRecordNotWritten = 13,
    ecInterrupted = 130,
};

// The table for --help.
extern const char* const ExitCodeHelp;

TExitCode ExitCodeOf(TUpdateOutcome Outcome);
// How a port's job ended, for its record and the table of several ports: the last status text
// shown, and an interrupted job said as such, whether it was interrupted in a run or before one.
std::string EndText(TUpdateOutcome Outcome, const std::string& LastText);
