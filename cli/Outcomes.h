// How a command of sw30415 ended: its exit code (0 only when it found everything in order), and for
// a job on a port the texts that say so on the screen, in the table of several ports and in the record.
#pragma once

#include <string>

#include "FirmwareUpdate.h"

struct TOpenFailure;

enum TExitCode : int {
    ecDone = 0,
    ecBadArguments = 2,
    ecPortNotOpened = 3,
    ecNotInBootMode = 4,
    ecWrongDevice = 5,
    ecNoImage = 6,
    ecWriteRefused = 7,   // the image refused, or the write run did not start
    ecReadFileFailed = 8, // the read run did not start, or its file failed or could not be put in place
    ecVerifyFailed = 9,
    ecStalledOrLinkLost = 10,
    ecReadFailed = 11,
    ecNotWritten = 12,
    ecRecordNotWritten = 13,
    ecInterrupted = 130,
};

// The table for --help.
extern const std::string ExitCodeHelp;

// How a job on one port ended.
struct TPortEnd {
    std::string Text;   // the last status text, or why there was none; the record's status
    std::string Advice; // what the person can do about a port that did not open, or a file that failed
    TExitCode Code = ecDone;
    bool Opened = false; // the port opened and the job ran
};

// The end of a job that ran: its exit code, and its last status text with an interruption said as such.
TPortEnd RunEnd(TUpdateOutcome Outcome, const std::string& LastText, std::string Advice);
// The end of a port that did not open; Interrupted: the wait for it was.
TPortEnd RefusedOpen(const TOpenFailure& Failure, bool Interrupted);
