#include "Commands.h"

#include <cstdio>
#include <unistd.h>

#include "Connection.h"
#include "ExitCodes.h"
#include "FirmwareUpdate.h"
#include "Interrupt.h"
#include "ProgressDisplay.h"
#include "TickTimer.h"

namespace {

constexpr std::chrono::milliseconds TickInterval{500};

// Stands in for the window around the update: the status line is stdout, the progress bar the
// display, and the message loop a poll of the interrupt flag and of the tick timer.
class TConsoleHost {
public:
    explicit TConsoleHost(Tarm_SER& Worker)
        : FWorker(Worker), FDisplay(stdout, isatty(STDOUT_FILENO) == 1), FJob(Worker, Hooks()),
          FTimer(TickInterval, [this] { FJob.T_AutoTimer(); })
    {
    }
    ~TConsoleHost() { FDisplay.Finish(); }

    TFirmwareUpdate& Job() { return FJob; }

private:
    TUpdateHooks Hooks()
    {
        TUpdateHooks Hooks;
        Hooks.Show = [this](const std::string& Text) { FDisplay.Show(Text); };
        Hooks.ProcessMessages = [this] {
            if (Interrupted())
                FJob.Abandon();
            FTimer.Poll();
        };
        Hooks.StartTimer = [this] { FTimer.Start(); };
        Hooks.StopTimer = [this] { FTimer.Stop(); };
        Hooks.SetProgress = [this](int Position) { FDisplay.Progress(RunProgress(Position)); };
        return Hooks;
    }

    TRunProgress RunProgress(int Position) const
    {
        const uint32_t Start = FWorker.FStartAddress.load(std::memory_order_acquire);
        const uint32_t Span = FWorker.FEndAddress.load(std::memory_order_acquire) - Start;
        const uint32_t Done = FWorker.FAddress.load(std::memory_order_acquire) - Start;
        TRunProgress Run;
        Run.Position = Position;
        Run.TotalBlocks = Span / BlockDataSize + 1;
        Run.Blocks = std::min(Done / BlockDataSize, Run.TotalBlocks);
        return Run;
    }

    Tarm_SER& FWorker;
    TProgressDisplay FDisplay;
    TFirmwareUpdate FJob;
    TTickTimer FTimer;
};

} // namespace

int RunUpdate(const std::string& Port, const std::string& Image)
{
    TConnection Link(Port);
    if (const TExitCode Code = OpenPort(Link, Port); Code != ecDone)
        return Code;
    TConsoleHost Host(Link.Worker());
    Host.Job().SetImageFile(Image);
    const TUpdateOutcome Outcome = Host.Job().Run();
    if (Outcome == TUpdateOutcome::Abandoned)
        std::fprintf(stderr, "sw30415: interrupted; the run was abandoned\n");
    return ExitCodeOf(Outcome);
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
    std::printf("Protection word: 0x%08X%s\n", Device.ProtectionWord,
                Device.Answered ? "" : " (no complete reply; taken as read)");
    if (!Device.Accepted || Link.Worker().FLinkOpen.load() == 0) {
        std::printf("Device: not one this tool serves\n");
        return ecWrongDevice;
    }
    std::printf("Device: SW30415, ready for an update\n");
    return ecDone;
}
