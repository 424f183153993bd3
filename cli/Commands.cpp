#include "Commands.h"

#include <cstdio>

#include "Connection.h"
#include "ExitCodes.h"
#include "FirmwareUpdate.h"
#include "Interrupt.h"
#include "ProgressDisplay.h"
#include "Terminal.h"
#include "UpdateHost.h"
#include "UpdateRecord.h"

namespace {

// The window's status line is stdout, its progress bar the display.
class TConsoleHost {
public:
    explicit TConsoleHost(Tarm_SER& Worker)
        : FDisplay(stdout, StdoutIsTerminal()),
          FHost(
              Worker, [this](const std::string& Text) { FDisplay.Show(Text); },
              [this](const TRunProgress& Run) { FDisplay.Progress(Run); })
    {
    }
    ~TConsoleHost() { FDisplay.Finish(); }

    TFirmwareUpdate& Job() { return FHost.Job(); }
    const std::string& StatusText() const { return FHost.StatusText(); }

private:
    TProgressDisplay FDisplay;
    TUpdateHost FHost;
};

} // namespace

int RunOnPort(const std::string& Port, const TPortJob& Job, const TUpdateFiles& Files)
{
    TUpdateRecord Record(Files, Port, 0);
    TConnection Link(Port);
    if (const TExitCode Code = OpenPort(Link, Port); Code != ecDone)
        return Record.Finish(Code, Code == ecInterrupted ? "interrupted"
                                                         : "cannot open the port: " + Link.Worker().OpenFailure().Advice);
    TConsoleHost Host(Link.Worker());
    Record.Follow(Host.Job(), Link.Worker());
    const TUpdateOutcome Outcome = Job(Host.Job(), 0);
    if (Outcome == TUpdateOutcome::Abandoned)
        std::fprintf(stderr, "sw30415: interrupted; the run was abandoned\n");
    if (const std::string Fault = FileFaultText(Host.Job()); !Fault.empty())
        std::fprintf(stderr, "sw30415: %s\n", Fault.c_str());
    return Record.Finish(ExitCodeOf(Outcome), EndText(Outcome, Host.StatusText()));
}

TPortJob UpdateJob(const TImageFacts& Image)
{
    return [Image](TFirmwareUpdate& Job, size_t) {
        Job.SetImageFile(Image.Path, Image.File);
        return Job.Run();
    };
}

std::string FileFaultText(const TFirmwareUpdate& Job)
{
    const std::string& Reason = Job.Facts().FileFault;
    return Reason.empty() ? Reason : "the file of the read run could not be written: " + Reason;
}

int RunUpdate(const std::string& Port, const TUpdateFiles& Files)
{
    return RunOnPort(Port, UpdateJob(Files.Image), Files);
}

int RunCheck(const std::string& Port)
{
    TConnection Link(Port);
    if (const TExitCode Code = OpenPort(Link, Port); Code != ecDone)
        return Code;
    TConsoleHost Host(Link.Worker());
    TFirmwareUpdate& Job = Host.Job();
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
    if (!Link.Worker().LinkOpen()) {
        std::printf("Device: the link to the device was lost during the check\n");
        return ecStalledOrLinkLost;
    }
    if (!Device.ProtectionWord) {
        std::printf("Device: its type could not be read, no reply to the protection read checked out\n");
        return ecReadFailed;
    }
    std::printf("Protection word: 0x%08X%s\n", *Device.ProtectionWord,
                Device.Answered ? "" : " (no complete reply; taken as read)");
    if (!Device.Accepted) {
        std::printf("Device: not one this tool serves\n");
        return ecWrongDevice;
    }
    std::printf("Device: SW30415, ready for an update\n");
    return ecDone;
}
