#include "PortRunner.h"

#include <algorithm>
#include <cstdio>
#include <thread>

#include "Platform.h"
#include "ProgressDisplay.h"
#include "TickTimer.h"

namespace {

// The open, with room to spare.
constexpr std::chrono::seconds OpenWaitLimit{10};

// The progress bar's tick, as the window's timer.
constexpr std::chrono::milliseconds TickInterval{500};

// Stands in for the window around one firmware job: the status line and the progress bar go to the
// port's place on the display, and the message loop is a poll of the interrupt flag and of the tick timer.
// One host per worker; several run at once, each on a thread of its own, since the job's waits block.
class TUpdateHost {
public:
    TUpdateHost(Tarm_SER& Worker, TJobDisplay& Display, size_t Port);

    TFirmwareUpdate& Job() { return FJob; }
    // The last status text shown, as the window's status line would hold it.
    const std::string& StatusText() const { return FStatusText; }

private:
    TUpdateHooks Hooks();
    TRunProgress RunProgress(int Position) const;

    Tarm_SER& FWorker;
    TJobDisplay& FDisplay;
    const size_t FPort;
    std::string FStatusText;
    TFirmwareUpdate FJob;
    TTickTimer FTimer;
};

TUpdateHost::TUpdateHost(Tarm_SER& Worker, TJobDisplay& Display, size_t Port)
    : FWorker(Worker), FDisplay(Display), FPort(Port), FJob(Worker, Hooks()),
      FTimer(TickInterval, [this] { FJob.T_AutoTimer(); })
{
}

TUpdateHooks TUpdateHost::Hooks()
{
    TUpdateHooks Hooks;
    Hooks.Show = [this](const std::string& Text) {
        FStatusText = Text;
        FDisplay.Show(FPort, Text);
    };
    Hooks.ProcessMessages = [this] {
        if (Interrupted())
            FJob.Abandon();
        FTimer.Poll();
    };
    Hooks.StartTimer = [this] { FTimer.Start(); };
    Hooks.StopTimer = [this] { FTimer.Stop(); };
    Hooks.SetProgress = [this](int Position) { FDisplay.Progress(FPort, RunProgress(Position)); };
    Hooks.TakeEndsAtOnce = true;
    return Hooks;
}

TRunProgress TUpdateHost::RunProgress(int Position) const
{
    const TRunSnapshot Snapshot = FWorker.Progress();
    const uint32_t Span = Snapshot.End - Snapshot.Start;
    const uint32_t Done = Snapshot.Address - Snapshot.Start;
    TRunProgress Run;
    Run.Position = Position;
    Run.TotalBlocks = Span / BlockDataSize + 1;
    Run.Blocks = std::min(Done / BlockDataSize, Run.TotalBlocks);
    return Run;
}

// One port's whole job, on a thread of its own: its own worker, its own job, its own record.
TPortEnd RunOnePort(const std::string& Port, size_t Index, const TPortJob& Job, const TUpdateFiles& Files,
                    TJobDisplay& Display)
{
    TUpdateRecord Record(Files, Port, Index);
    TConnection Link(Port);
    if (std::optional<TPortEnd> Refused = Link.AwaitOpen()) {
        Record.Finish(Refused->Code, Refused->Text);
        return *Refused;
    }
    TUpdateHost Host(Link.Worker(), Display, Index);
    Record.Follow(Host.Job(), Link.Worker());
    const TUpdateOutcome Outcome = Job(Host.Job(), Index);
    const std::string& Fault = Host.Job().Facts().FileFault;
    TPortEnd End = RunEnd(Outcome, Host.StatusText(),
                          Fault.empty() ? Fault : "the file of the read run could not be written: " + Fault);
    End.Code = Record.Finish(End.Code, End.Text);
    return End;
}

// The one port's end on stderr, as the window would have said it in a message box.
int ReportEnd(const std::string& Port, const TPortEnd& End)
{
    if (!End.Opened && End.Code == ecPortNotOpened)
        std::fprintf(stderr, "sw30415: cannot open the port %s: %s\n", Port.c_str(), End.Advice.c_str());
    if (End.Opened && End.Code == ecInterrupted)
        std::fprintf(stderr, "sw30415: interrupted; the run was abandoned\n");
    if (End.Opened && !End.Advice.empty())
        std::fprintf(stderr, "sw30415: %s\n", End.Advice.c_str());
    return End.Code;
}

// The table of port, final text and exit code; the exit code of the first failing port.
int ReportEnds(const std::vector<std::string>& Ports, const std::vector<TPortEnd>& Ends)
{
    const int Width = static_cast<int>(PortColumnWidth(Ports));
    std::printf("\n%-*s  %-44s  %s\n", Width, "port", "result", "exit");
    for (size_t I = 0; I < Ports.size(); ++I)
        std::printf("%-*s  %-44s  %d\n", Width, Ports[I].c_str(), Ends[I].Text.c_str(), Ends[I].Code);
    std::fflush(stdout);
    for (size_t I = 0; I < Ports.size(); ++I)
        if (!Ends[I].Advice.empty())
            std::fprintf(stderr, "sw30415: %s: %s\n", Ports[I].c_str(), Ends[I].Advice.c_str());
    const auto Failed = [](const TPortEnd& End) { return End.Code != ecDone; };
    const auto First = std::find_if(Ends.begin(), Ends.end(), Failed);
    if (First == Ends.end())
        return ecDone;
    std::fprintf(stderr, "sw30415: %zu of %zu ports failed; the first is %s\n",
                 static_cast<size_t>(std::count_if(Ends.begin(), Ends.end(), Failed)), Ports.size(),
                 Ports[static_cast<size_t>(First - Ends.begin())].c_str());
    return First->Code;
}

} // namespace

TConnection::TConnection(const std::string& PortName) : FWorker(std::make_unique<Tarm_SER>(true))
{
    FWorker->SetPortName(PortName);
    FWorker->SkipStartPause();
    FWorker->Resume();
}

TConnection::~TConnection()
{
    // Whatever the job left running is abandoned; CloseLink waits until the worker lets go of the port.
    FWorker->Abandon();
    FWorker->CloseLink();
    FWorker->TerminateAndWait();
}

std::optional<TPortEnd> TConnection::AwaitOpen()
{
    if (FWorker->AwaitOpen(OpenWaitLimit, [] { return !Interrupted(); }) && !Interrupted())
        return std::nullopt;
    return RefusedOpen(FWorker->OpenFailure(), Interrupted());
}

int OnPort(const std::string& Port, const std::function<int(TConnection& Link)>& Job)
{
    TConnection Link(Port);
    if (const std::optional<TPortEnd> Refused = Link.AwaitOpen())
        return ReportEnd(Port, *Refused);
    return Job(Link);
}

void TPortChoice::AddOptions(CLI::App& Command)
{
    AddPortOption(Command, Named,
                  "; repeat it to work on several at once (the exit code is then that of the first failing port)");
    Command.add_flag("--all-in-boot-mode", AllInBootMode,
                     "every port (or every --port) that holds a device in boot mode");
}

void TPortChoice::Require(const std::string& Command) const
{
    if (Named.empty() && !AllInBootMode)
        throw CLI::RequiredError(Command + ": --port or --all-in-boot-mode");
}

int TPortChoice::Choose(std::vector<std::string>& Ports) const
{
    Ports = Named;
    if (!AllInBootMode)
        return ecDone;
    Ports.clear();
    for (const TProbeResult& Result : ProbeNamedOrListed(Named))
        if (Result.State == TProbeState::BootMode)
            Ports.push_back(Result.Port);
    if (Interrupted())
        return ecInterrupted;
    if (Ports.empty()) {
        std::fprintf(stderr, "sw30415: no port has a device in boot mode\n");
        return ecNotInBootMode;
    }
    return ecDone;
}

int RunOnPorts(const std::vector<std::string>& Ports, bool Single, const TPortJob& Job, const TUpdateFiles& Files)
{
    if (Single) {
        TJobDisplay Display(stdout, StdoutIsTerminal(), Ports, true);
        const TPortEnd End = RunOnePort(Ports.front(), 0, Job, Files, Display);
        Display.Finish();
        return ReportEnd(Ports.front(), End);
    }
    TJobDisplay Board(stdout, StdoutIsTerminal(), Ports, false);
    std::vector<TPortEnd> Ends(Ports.size());
    {
        std::vector<std::jthread> Runs;
        for (size_t I = 0; I < Ports.size(); ++I)
            Runs.emplace_back([&, I] {
                Ends[I] = RunOnePort(Ports[I], I, Job, Files, Board);
                if (!Ends[I].Opened)
                    Board.Show(I, Ends[I].Text);
            });
    }
    return ReportEnds(Ports, Ends);
}

int OnConsole(const std::string& Port, const std::function<int(TConnection& Link, TFirmwareUpdate& Job)>& Job)
{
    return OnPort(Port, [&](TConnection& Link) {
        TJobDisplay Display(stdout, StdoutIsTerminal(), {Port}, true);
        TUpdateHost Host(Link.Worker(), Display, 0);
        const int Code = Job(Link, Host.Job());
        Display.Finish();
        return Code;
    });
}
