// How a command of sw30415 ended: its exit code (0 only when it found everything in order), and for
// a job on a port the texts that say so on the screen, in the table of several ports and in the record.
// Every job's outcomes meet their texts and exit codes here, not in the commands.
#pragma once

#include <string>

#include "FirmwareUpdate.h"
#include "ParamJobs.h"
#include "ParamVerify.h"

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

TExitCode ExitCodeOf(TUpdateOutcome Outcome);
// The end of a job that ran: its exit code, and its last status text with an interruption said as such.
TPortEnd RunEnd(TUpdateOutcome Outcome, const std::string& LastText, std::string Advice);
// The end of a port that did not open; Interrupted: the wait for it was.
TPortEnd RefusedOpen(const TOpenFailure& Failure, bool Interrupted);

// A parameter read: Text printed, failing when the read did not end within its wait; none: the link
// closed before the read.
TPortEnd ReadEnd(const std::optional<TReadText>& Read);
// A parameter write, read back and compared.
TPortEnd WriteEnd(TWriteCheck Check);
// The device check once the boot loader has answered: its DeviceOutcome.
TPortEnd DeviceEnd(TUpdateOutcome Outcome);

// What a port answers to the boot query. A port that another program holds is reported as busy;
// nothing is sent to it, nor to a system console.
enum class TProbeState { Console, Busy, NotOpened, NoAnswer, OtherReply, BootMode };

struct TProbeResult {
    std::string Port;
    TProbeState State = TProbeState::NotOpened;
    std::string Reply;  // the first line of the reply
    std::string Advice; // why the port could not be opened
};

// "busy (held by another program)", "no answer", "boot mode: \"BOOT VER 1.05\"", ...
std::string ProbeText(const TProbeResult& Result);
