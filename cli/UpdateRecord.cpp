#include "UpdateRecord.h"

#include <cstdio>
#include <filesystem>

#include "AdapterIdentity.h"
#include "FirmwareUpdate.h"
#include "JsonText.h"
#include "ParamJobs.h"
#include "PathText.h"
#include "RecordFile.h"
#include "RunFile.h"
#include "Sha256.h"

namespace {

std::string RunJson(const std::optional<TRunFacts>& Run)
{
    if (!Run)
        return "null";
    char Seconds[32];
    std::snprintf(Seconds, sizeof Seconds, "%.3f", static_cast<double>(Run->Time.count()) / 1000);
    return TJsonObject().Raw("seconds", Seconds).Raw("blocks_again", std::to_string(Run->Repeats)).Json();
}

std::string WordText(uint32_t Word)
{
    char Text[16];
    std::snprintf(Text, sizeof Text, "0x%08X", Word);
    return Text;
}

std::string TextOrNull(const std::optional<std::string>& Text) { return Text ? JsonString(*Text) : "null"; }

} // namespace

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
    if (AppendToRecordFile(File, "", Reason))
        return ecDone;
    std::fprintf(stderr, "sw30415: cannot append to the record file %s: %s\n", File.c_str(), Reason.c_str());
    return ecBadArguments;
}

TUpdateRecord::TUpdateRecord(const TUpdateFiles& Files, std::string Port, size_t Index)
    : FFiles(Files), FPort(std::move(Port)), FIndex(Index), FStarted(std::chrono::system_clock::now()),
      FAdapter(Files.RecordFile.empty() ? std::string() : AdapterIdentity(FPort).Json())
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
    if (FFiles.RecordFile.empty() || AppendToRecordFile(FFiles.RecordFile, Line(Code, Status), Reason))
        return Code;
    std::fprintf(stderr, "sw30415: %s: the record was not written to %s: %s\n", FPort.c_str(),
                 FFiles.RecordFile.c_str(), Reason.c_str());
    return Code == ecDone ? ecRecordNotWritten : Code;
}

std::string TUpdateRecord::Line(TExitCode Code, const std::string& Status) const
{
    const TUpdateFacts Facts = FJob ? FJob->Facts() : TUpdateFacts{};
    const std::string BootLine = FJob ? FJob->BootReply() : std::string();
    TJsonObject Record;
    Record.Text("started", UtcText(FStarted))
        .Text("ended", UtcText(std::chrono::system_clock::now()))
        .Text("command", FFiles.Command)
        .Text("port", FPort)
        .Raw("adapter", FAdapter)
        .Raw("boot_line", BootLine.empty() ? "null" : JsonString(BootLine))
        .Raw("protection_word", TextOrNull(Facts.Device && Facts.Device->ProtectionWord
                                               ? std::optional(WordText(*Facts.Device->ProtectionWord))
                                               : std::nullopt))
        .Raw("mac_address", TextOrNull(FMacAddress))
        .Raw(FFiles.Outputs.empty() ? "image" : "out", FileJson(Code))
        .Text("status", Status)
        .Raw("exit_code", std::to_string(Code))
        .Raw("failed", Code == ecDone ? "false" : "true")
        .Raw("write", RunJson(Facts.Write))
        .Raw("read", RunJson(Facts.Read));
    return Record.Json() + "\n";
}

std::string TUpdateRecord::FileJson(TExitCode Code) const
{
    TImageFacts File = FFiles.Image;
    if (!FFiles.Outputs.empty()) {
        // The file read: its size and digest once the read has put it in place.
        File = {FFiles.Outputs[FIndex], 0, {}};
        TRunFile Read;
        if (Code == ecDone && Read.OpenForReading(File.Path)) {
            File.Size = Read.Size();
            File.Sha256 = Sha256Hex(Read);
        }
    }
    const bool Known = !File.Sha256.empty();
    return TJsonObject()
        .Text("file", File.Path)
        .Raw("size", Known ? std::to_string(File.Size) : "null")
        .Raw("sha256", Known ? JsonString(File.Sha256) : "null")
        .Json();
}
