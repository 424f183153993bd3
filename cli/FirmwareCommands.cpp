#include "PortRunner.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>

#include "FirmwareFiles.h"
#include "MemoryMap.h"
#include "NumberParse.h"
#include "OutputFile.h"
#include "PathText.h"
#include "Platform.h"

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

// The image of an update or verify, checked before any port opens: a file that cannot be written is
// refused before anything is sent, and without the read-back of the whole firmware area that a
// refused write run would still cost. Given: the --image argument; empty, the image beside the
// program. ecDone with Image filled in; else its exit code with the file and the rule on stderr, and
// ecReadFileFailed when no read-back file can be created beside it.
TExitCode OpenCheckedImage(const std::string& Given, TImageFacts& Image)
{
    const std::string Path = Given.empty() ? MasterImagePath() : Given;
    std::string Fault;
    if (const TUpdateOutcome Outcome = OpenImageFile(Path, Image, Fault); Outcome != TUpdateOutcome::Done) {
        std::fprintf(stderr,
                     "sw30415: the image \"%s\" %s; it must be a readable regular file of 1 to %u bytes"
                     " (the firmware area)\n",
                     Path.c_str(), Fault.c_str(), static_cast<unsigned>(FirmwareAreaSize));
        return ExitCodeOf(Outcome);
    }
    // The read-back file goes beside the image: a folder that takes no new file, or a name too long
    // for it (the longest time stamp tried), is found now rather than after the write run.
    const std::string ReadBack = ReadBackName(Path, {9999, 12, 31, 23, 59, 59, 999});
    if (const std::string Reason = CannotCreate(ReadBack); !Reason.empty()) {
        std::fprintf(stderr, "sw30415: no read-back file can be created beside the image (%s): %s\n", ReadBack.c_str(),
                     Reason.c_str());
        return ecReadFileFailed;
    }
    return ecDone;
}

// The arguments of update, read and verify.
struct TFirmwareArgs {
    TPortChoice Ports;
    std::string Image;
    std::string Out;
    uint32_t Size = FirmwareAreaSize;
    bool Force = false;
    TUpdateFiles Files;
};

using TImageJob = TUpdateOutcome (*)(TFirmwareUpdate& Update);

// update and verify: the image checked, then Job on the ports chosen.
int RunWithImage(TFirmwareArgs& Args, TImageJob Job)
{
    TUpdateFiles& Files = Args.Files;
    if (const TExitCode Code = OpenCheckedImage(Args.Image, Files.Image); Code != ecDone)
        return Code;
    if (const TExitCode Code = CheckRecordFile(Files.RecordFile, {Files.Image.Path}); Code != ecDone)
        return Code;
    std::vector<std::string> Ports;
    if (const int Code = Args.Ports.Choose(Ports); Code != ecDone)
        return Code;
    return RunOnPorts(Ports, Args.Ports.Single(), [&](TFirmwareUpdate& Update, size_t) {
        Update.SetImageFile(Files.Image.Path, Files.Image.File);
        return Job(Update);
    }, Files);
}

int RunRead(TFirmwareArgs& Args)
{
    TUpdateFiles& Files = Args.Files;
    if (const TExitCode Code = CheckRecordFile(Files.RecordFile); Code != ecDone)
        return Code;
    std::vector<std::string> Ports;
    if (const int Code = Args.Ports.Choose(Ports); Code != ecDone)
        return Code;
    for (const std::string& Port : Ports)
        Files.Outputs.push_back(Args.Ports.Single() ? Args.Out : FileForPort(Args.Out, Port));
    if (!OutputFilesFree(Files.Outputs, Args.Force) || CheckRecordFile(Files.RecordFile, Files.Outputs) != ecDone)
        return ecBadArguments;
    return RunOnPorts(Ports, Args.Ports.Single(), [&](TFirmwareUpdate& Job, size_t Port) {
        return Job.RunRead(Files.Outputs[Port], Args.Size, Args.Force);
    }, Files);
}

// The boot check and the device check only.
int RunCheck(TConnection& Link, TFirmwareUpdate& Job)
{
    if (!Job.CheckBootMode()) {
        if (Job.BootReply().empty())
            std::printf("Boot mode: no boot loader reply\n");
        else
            std::printf("Boot mode: no; the device answered \"%s\"\n", Job.BootReply().c_str());
        return ecNotInBootMode;
    }
    std::printf("Boot mode: yes, \"%s\"\n", Job.BootReply().c_str());
    const TDeviceCheck Device = Job.CheckDevice();
    if (Interrupted())
        return ecInterrupted;
    const TPortEnd End = DeviceEnd(DeviceOutcome(Device, Link.Worker().LinkOpen()));
    if (End.Code != ecStalledOrLinkLost && Device.ProtectionWord)
        std::printf("Protection word: 0x%08X%s\n", *Device.ProtectionWord,
                    Device.Answered ? "" : " (no complete reply; taken as read)");
    std::printf("Device: %s\n", End.Text.c_str());
    return End.Code;
}

// A job on the ports chosen, with the options every one of them takes.
CLI::App* AddPortsCommand(CLI::App& App, int& ExitCode, const char* Name, const char* Description,
                          const std::shared_ptr<TFirmwareArgs>& Args, std::function<int(TFirmwareArgs& Args)> Run)
{
    Args->Files.Command = Name;
    CLI::App* Command = App.add_subcommand(Name, Description);
    Args->Ports.AddOptions(*Command);
    Command->add_option("--record", Args->Files.RecordFile, RecordHelp);
    Command->footer(ExitCodeHelp);
    Command->callback([Args, Run, Name, &ExitCode] {
        Args->Ports.Require(Name);
        // Before the image's check, which creates and deletes a file beside the image.
        InstallInterruptHandlers();
        ExitCode = Run(*Args);
    });
    return Command;
}

} // namespace

void AddFirmwareCommands(CLI::App& App, int& ExitCode)
{
    const auto AddImageCommand = [&](const char* Name, const char* Description, TImageJob Job) {
        const auto Args = std::make_shared<TFirmwareArgs>();
        AddPortsCommand(App, ExitCode, Name, Description, Args, [Job](TFirmwareArgs& Given) {
            return RunWithImage(Given, Job);
        })->add_option("--image", Args->Image, "the image file (default: master/Sim30415.sim beside this program)");
    };
    AddImageCommand("update", "write the image into the device, read it back and compare",
                    [](TFirmwareUpdate& Update) { return Update.Run(); });

    const auto Read = std::make_shared<TFirmwareArgs>();
    CLI::App* ReadCommand = AddPortsCommand(
        App, ExitCode, "read", "read the device's firmware area into a file; nothing is written to the device", Read,
        RunRead);
    ReadCommand
        ->add_option("--out", Read->Out, "the file to create; with several ports each port's name is added to it")
        ->required()
        ->check(CLI::Validator([](const std::string& File) { return File.empty() ? "names no file" : ""; }, "FILE"));
    ReadCommand
        ->add_option("--size", Read->Size, "the bytes to read from the firmware area's start (default: all of it)")
        ->transform(SizeRule());
    ReadCommand->add_flag("--force", Read->Force,
                          "replace a regular file (keeping its permission bits) or a link already there, once the "
                          "read has finished");

    AddImageCommand("verify", "read the device back and compare it with the image; nothing is written",
                    [](TFirmwareUpdate& Update) { return Update.RunVerify(); });

    const auto Port = std::make_shared<std::string>();
    CLI::App* Check = App.add_subcommand("check", "ask for the boot loader and read the protection word only");
    AddPortOption(*Check, *Port)->required();
    Check->footer(ExitCodeHelp);
    Check->callback([Port, &ExitCode] {
        InstallInterruptHandlers();
        ExitCode = OnConsole(*Port, RunCheck);
    });
}
