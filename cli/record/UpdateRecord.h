// The record of one device's update, read or verify, for `--record FILE`: one JSON object a line,
// appended, with the times, the command, the port and its adapter, what the device answered, the
// image (for read the file it filled), and how the job ended. Written however the job ends, with
// what is known by then.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "ImageFile.h"
#include "Outcomes.h"

class Tarm_SER;
class TFirmwareUpdate;

// The files of a job: the image, checked, and the record file (empty: none). Outputs: for read,
// the file of each port in the order of the ports, recorded in place of the image. Each member has
// its initialiser, so that a designated initialiser may leave it out.
struct TUpdateFiles {
    std::string Command{};
    TImageFacts Image{};
    std::string RecordFile{};
    std::vector<std::string> Outputs{};
};

// Time in UTC, ISO 8601 to the millisecond: 2026-01-02T03:04:05.006Z.
std::string UtcText(std::chrono::system_clock::time_point Time);

// The help of --record.
extern const char* const RecordHelp;

// ecDone when File is empty or can be appended to (it is created then) and is none of Apart (the
// image, the files read into), else ecBadArguments with the reason on stderr; checked before any
// port opens, so that no update goes unrecorded and no record goes into a firmware file.
TExitCode CheckRecordFile(const std::string& File, const std::vector<std::string>& Apart = {});

class TUpdateRecord {
public:
    // Starts the clock and notes the port's adapter while it is there; Index: the port's place in
    // the list given.
    TUpdateRecord(const TUpdateFiles& Files, std::string Port, size_t Index);

    // The job whose facts go into the record; the MAC address is read before its first run.
    void Follow(TFirmwareUpdate& Job, Tarm_SER& Worker);
    // Appends the record and gives Code back; when the record could not be appended (told on
    // stderr), ecRecordNotWritten in place of ecDone, so that the unit is not counted as done.
    TExitCode Finish(TExitCode Code, const std::string& Status);

private:
    std::string Line(TExitCode Code, const std::string& Status) const;
    nlohmann::ordered_json FileJson(TExitCode Code) const;

    const TUpdateFiles& FFiles;
    const std::string FPort;
    const size_t FIndex;
    const std::chrono::system_clock::time_point FStarted;
    const nlohmann::ordered_json FAdapter;
    const TFirmwareUpdate* FJob = nullptr;
    std::optional<std::string> FMacAddress;
};
