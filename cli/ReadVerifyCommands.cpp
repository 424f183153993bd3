#include "ReadVerifyCommands.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <set>

#include "Commands.h"
#include "ExitCodes.h"
#include "ImageCheck.h"
#include "NumberParse.h"
#include "OutputFile.h"
#include "PathText.h"
#include "ProductionLine.h"
#include "UpdateRecord.h"

namespace {

namespace fs = std::filesystem;

// File with Port's name (what follows its last separator) added to its name: backup.bin and
// /dev/ttyUSB0 give backup-ttyUSB0.bin.
std::string FileForPort(const std::string& File, const std::string& Port)
{
    const std::string Name = Port.substr(Port.find_last_of("/\\") + 1);
    fs::path Path = PathFromText(File);
    const fs::path Extension = Path.extension();
    return TextFromPath(Path.replace_filename(PathFromText(TextFromPath(Path.stem()) + "-" + Name) += Extension));
}

// Refuses, before any port opens, a file that the read could not put in place at its end.
bool OutputFilesFree(const std::vector<std::string>& Files, bool Force)
{
    std::set<std::string> Seen;
    for (const std::string& File : Files) {
        const fs::path Path = PathFromText(File);
        std::error_code Ignored;
        const fs::file_status Status = fs::symlink_status(Path, Ignored);
        std::string Fault;
        if (!fs::is_directory(Path.has_parent_path() ? Path.parent_path() : fs::path("."), Ignored))
            Fault = "is not in an existing folder";
        else if (fs::is_directory(Status))
            Fault = "is a folder";
        else if (fs::exists(Status) && !Force)
            Fault = "exists (--force replaces it)";
        else if (!Replaceable(File))
            Fault = "is neither a regular file nor a symbolic link (--force replaces only those)";
        else if (!Seen.insert(File).second)
            Fault = "is named for two ports";
        else if (const std::string Reason = CannotCreate(TemporaryBeside(File)); !Reason.empty())
            Fault = "cannot be read into: its temporary file beside it cannot be created: " + Reason;
        if (!Fault.empty()) {
            std::fprintf(stderr, "sw30415: --out: %s %s\n", File.c_str(), Fault.c_str());
            return false;
        }
    }
    return true;
}

// A size by the program's own number rules, as the parameter commands take their values (a leading
// 0 is no octal), handed on in decimal.
CLI::Validator SizeRule()
{
    return CLI::Validator(
        [](std::string& Text) {
            const std::optional<int64_t> Size = ParseInt64(Text);
            if (!Size || *Size < 1 || *Size > FirmwareAreaSize)
                return "\"" + Text + "\" is not a number from 1 to " + std::to_string(FirmwareAreaSize) +
                       ", decimal or hexadecimal behind $, x, X, 0x or 0X";
            Text = std::to_string(*Size);
            return std::string();
        },
        "1 to " + std::to_string(FirmwareAreaSize));
}

// One port named alone prints as a single update does; several, or those a probe found, as the
// production line does.
int RunChosen(const std::vector<std::string>& Named, bool AllInBootMode, const TPortJob& Job, const TUpdateFiles& Files,
              const std::function<bool(const std::vector<std::string>& Ports, bool Single)>& Check)
{
    const bool Single = Named.size() == 1 && !AllInBootMode;
    std::vector<std::string> Ports;
    if (const int Code = ChoosePorts(Named, AllInBootMode, Ports); Code != ecDone)
        return Code;
    if (!Check(Ports, Single))
        return ecBadArguments;
    return Single ? RunOnPort(Ports.front(), Job, Files) : RunOnPorts(Ports, Job, Files);
}

} // namespace

TReadVerifyCommands::TReadVerifyCommands(CLI::App& App, const std::string& PortHelp)
{
    FRead = App.add_subcommand("read", "read the device's firmware area into a file; nothing is written to the device");
    FVerify = App.add_subcommand("verify", "read the device back and compare it with the image; nothing is written");
    for (CLI::App* Command : {FRead, FVerify}) {
        Command->add_option("--port", FPorts, PortHelp + "; repeat it to work on several at once");
        Command->add_flag("--all-in-boot-mode", FAllInBootMode,
                          "every port (or every --port) that holds a device in boot mode");
        Command->add_option("--record", FRecord, RecordHelp);
        Command->footer(ExitCodeHelp);
    }
    FRead->add_option("--out", FOut, "the file to create; with several ports each port's name is added to it")
        ->required()
        ->check(CLI::Validator([](const std::string& File) { return File.empty() ? "names no file" : ""; }, "FILE"));
    FRead->add_option("--size", FSize, "the bytes to read from the firmware area's start (default: all of it)")
        ->transform(SizeRule());
    FRead->add_flag("--force", FForce,
                    "replace a regular file (keeping its permission bits) or a link already there, once the read has finished");
    FVerify->add_option("--image", FImage, "the image file (default: master/Sim30415.sim beside this program)");
}

std::optional<int> TReadVerifyCommands::Run() const
{
    const CLI::App* Given = FRead->parsed() ? FRead : FVerify->parsed() ? FVerify : nullptr;
    if (!Given)
        return std::nullopt;
    if (FPorts.empty() && !FAllInBootMode) {
        std::fprintf(stderr, "%s: --port or --all-in-boot-mode is required\nRun with --help for more information.\n",
                     Given->get_name().c_str());
        return ecBadArguments;
    }
    return Given == FRead ? RunRead() : RunVerify();
}

int TReadVerifyCommands::RunRead() const
{
    TUpdateFiles Files{.Command = "read", .RecordFile = FRecord};
    if (const TExitCode Code = CheckRecordFile(FRecord); Code != ecDone)
        return Code;
    const auto Check = [&](const std::vector<std::string>& Ports, bool Single) {
        for (const std::string& Port : Ports)
            Files.Outputs.push_back(Single ? FOut : FileForPort(FOut, Port));
        return OutputFilesFree(Files.Outputs, FForce) && CheckRecordFile(FRecord, Files.Outputs) == ecDone;
    };
    const TPortJob Job = [&](TFirmwareUpdate& Update, size_t Port) {
        return Update.RunRead(Files.Outputs[Port], FSize, FForce);
    };
    return RunChosen(FPorts, FAllInBootMode, Job, Files, Check);
}

int TReadVerifyCommands::RunVerify() const
{
    TUpdateFiles Files{.Command = "verify", .RecordFile = FRecord};
    if (const TExitCode Code = CheckImage(FImage, Files.Image); Code != ecDone)
        return Code;
    if (const TExitCode Code = CheckRecordFile(FRecord, {Files.Image.Path}); Code != ecDone)
        return Code;
    const TPortJob Job = [&Files](TFirmwareUpdate& Update, size_t) {
        Update.SetImageFile(Files.Image.Path, Files.Image.File);
        return Update.RunVerify();
    };
    return RunChosen(FPorts, FAllInBootMode, Job, Files, [](const std::vector<std::string>&, bool) { return true; });
}
