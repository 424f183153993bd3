#include "UpdateRecord.h"

#include <cstdio>
#include <filesystem>

#include "AppendLine.h"
#include "FirmwareUpdate.h"
#include "ParamJobs.h"
#include "PathText.h"
#include "PortList.h"
#include "RunFile.h"

namespace {

using TJson = nlohmann::ordered_json;

TJson RunJson(const std::optional<TRunFacts>& Run)
{
    if (!Run)
        return nullptr;
    // Milliseconds as seconds, with no more digits than they hold.
    return {{"seconds", static_cast<double>(Run->Time.count()) / 1000}, {"blocks_again", Run->Repeats}};
}

TJson TextOrNull(const std::optional<std::string>& Text) { return Text ? TJson(*Text) : TJson(nullptr); }

std::optional<std::string> WordText(const TUpdateFacts& Facts)
{
    if (!Facts.Device || !Facts.Device->ProtectionWord)
        return std::nullopt;
    char Text[16];
    std::snprintf(Text, sizeof Text, "0x%08X", *Facts.Device->ProtectionWord);
    return Text;
}

TJson AdapterJson(const std::string& Port)
{
    TJson Adapter = TJson::object();
    for (const auto& [Name, Value] : AdapterFacts(Port))
        Adapter[Name] = Value;
    return Adapter;
}

} // namespace

std::string UtcText(std::chrono::system_clock::time_point Time)
{
    using namespace std::chrono;
    const auto Milliseconds = floor<milliseconds>(Time);
    const auto Day = floor<days>(Milliseconds);
    const year_month_day Date(Day);
    const hh_mm_ss Clock(Milliseconds - Day);
    char Text[32];
    std::snprintf(Text, sizeof Text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(Date.year()),
                  static_cast<unsigned>(Date.month()), static_cast<unsigned>(Date.day()),
                  static_cast<int>(Clock.hours().count()), static_cast<int>(Clock.minutes().count()),
                  static_cast<int>(Clock.seconds().count()), static_cast<int>(Clock.subseconds().count()));
    return Text;
}

const char* const RecordHelp =
    "append one JSON line per device to this file: times, port, adapter, device, image (read: the file read), outcome";

TExitCode CheckRecordFile(const std::string& File, const std::vector<std::string>& Apart)
{
    if (File.empty())
        return ecDone;
    // Before the append, which would wait for the lock that this program holds on the image.
    for (const std::string& Other : Apart) {
        std::error_code Ignored;
        if (std::filesystem::equivalent(PathFromText(File), PathFromText(Other), Ignored)) {
            std::fprintf(stderr, "sw30415: the record file %s is the same file as %s\n", File.c_str(), Other.c_str());
            return ecBadArguments;
        }
    }
    std::string Reason;
    if (AppendLine(File, "", Reason))
        return ecDone;
    std::fprintf(stderr, "sw30415: cannot append to the record file %s: %s\n", File.c_str(), Reason.c_str());
    return ecBadArguments;
}

TUpdateRecord::TUpdateRecord(const TUpdateFiles& Files, std::string Port, size_t Index)
    : FFiles(Files), FPort(std::move(Port)), FIndex(Index), FStarted(std::chrono::system_clock::now()),
      FAdapter(Files.RecordFile.empty() ? TJson() : AdapterJson(FPort))
{
}

void TUpdateRecord::Follow(TFirmwareUpdate& Job, Tarm_SER& Worker)
{
    if (FFiles.RecordFile.empty())
        return;
    FJob = &Job;
    Job.SetBeforeRuns([this, &Worker] {
        if (const std::optional<TReadText> Mac = ReadMacAddress(Worker); Mac && Mac->Ok)
            FMacAddress = Mac->Text;
    });
}

TExitCode TUpdateRecord::Finish(TExitCode Code, const std::string& Status)
{
    std::string Reason;
    if (FFiles.RecordFile.empty() || AppendLine(FFiles.RecordFile, Line(Code, Status), Reason))
        return Code;
    std::fprintf(stderr, "sw30415: %s: the record was not written to %s: %s\n", FPort.c_str(),
                 FFiles.RecordFile.c_str(), Reason.c_str());
    return Code == ecDone ? ecRecordNotWritten : Code;
}

std::string TUpdateRecord::Line(TExitCode Code, const std::string& Status) const
{
    const TUpdateFacts Facts = FJob ? FJob->Facts() : TUpdateFacts{};
    const std::string BootLine = FJob ? FJob->BootReply() : std::string();
    const TJson Record = {
        {"started", UtcText(FStarted)},
        {"ended", UtcText(std::chrono::system_clock::now())},
        {"command", FFiles.Command},
        {"port", FPort},
        {"adapter", FAdapter},
        {"boot_line", TextOrNull(BootLine.empty() ? std::nullopt : std::optional(BootLine))},
        {"protection_word", TextOrNull(WordText(Facts))},
        {"mac_address", TextOrNull(FMacAddress)},
        {FFiles.Outputs.empty() ? "image" : "out", FileJson(Code)},
        {"status", Status},
        {"exit_code", Code},
        {"failed", Code != ecDone},
        {"write", RunJson(Facts.Write)},
        {"read", RunJson(Facts.Read)},
    };
    // A Linux file or port name may hold any bytes; the line stays valid JSON whatever they are.
    return Record.dump(-1, ' ', false, TJson::error_handler_t::replace) + "\n";
}

TJson TUpdateRecord::FileJson(TExitCode Code) const
{
    TImageFacts File = FFiles.Image;
    if (!FFiles.Outputs.empty()) {
        // The file read: its size and digest once the read has put it in place.
        File = {FFiles.Outputs[FIndex]};
        std::string Fault;
        if (Code == ecDone)
            OpenImageFile(File.Path, File, Fault);
    }
    const bool Known = !File.Sha256.empty();
    return {{"file", File.Path},
            {"size", Known ? TJson(File.Size) : TJson(nullptr)},
            {"sha256", Known ? TJson(File.Sha256) : TJson(nullptr)}};
}
