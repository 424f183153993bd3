// The record of one device's update, for `sw30415 update --record FILE`: one JSON object a line,
// appended, with the times, the port and its adapter, what the device answered, the image, and how
// the update ended. Written however the update ends, with what is known by then.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "ExitCodes.h"
#include "ImageCheck.h"

class Tarm_SER;
class TFirmwareUpdate;

// The files of an update: the image, checked, and the record file (empty: none).
struct TUpdateFiles {
    TImageFacts Image;
    std::string RecordFile;
};

// ecDone when File is empty or can be appended to (it is created then), else ecBadArguments with
// the reason on stderr; checked before any port opens, so that no update goes unrecorded.
TExitCode CheckRecordFile(const std::string& File);

class TUpdateRecord {
public:
    // Starts the clock and notes the port's adapter while it is there.
    TUpdateRecord(const TUpdateFiles& Files, std::string Port);

    // The update whose facts go into the record; the MAC address is read before its write run.
    void Follow(TFirmwareUpdate& Job, Tarm_SER& Worker);
    // Appends the record (a failure is told on stderr) and gives Code back.
    TExitCode Finish(TExitCode Code, const std::string& Status);

private:
    std::string Line(TExitCode Code, const std::string& Status) const;

    const TUpdateFiles& FFiles;
    const std::string FPort;
    const std::chrono::system_clock::time_point FStarted;
    const std::string FAdapter;
    const TFirmwareUpdate* FJob = nullptr;
    std::optional<std::string> FMacAddress;
};
