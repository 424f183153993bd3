#include "ProductionLine.h"

#include <algorithm>
#include <cstdio>
#include <thread>

#include "Connection.h"
#include "ExitCodes.h"
#include "Interrupt.h"
#include "PortList.h"
#include "PortProbe.h"
#include "Terminal.h"
#include "UpdateBoard.h"
#include "UpdateHost.h"
#include "UpdateRecord.h"

namespace {

struct TPortEnd {
    std::string Text;   // the last status text, or why there was none
    std::string Advice; // what the person can do about a port that did not open, or a file that failed
    TExitCode Code = ecDone;
};

std::string OpenRefusalName(TOpenRefusal Kind)
{
    switch (Kind) {
    case TOpenRefusal::Busy: return "busy";
    case TOpenRefusal::Permission: return "permission denied";
    case TOpenRefusal::Missing: return "not there";
    case TOpenRefusal::Other: break;
    }
    return "failed";
}

size_t Widest(const std::vector<std::string>& Ports)
{
    size_t Width = 4; // "port"
    for (const std::string& Port : Ports)
        Width = std::max(Width, Port.size());
    return Width;
}

// One port's whole job, on a thread of its own: its own worker, its own job.
TPortEnd RunOnePort(const std::string& Port, size_t Index, const TPortJob& Job, const TUpdateFiles& Files,
                    TUpdateBoard& Board)
{
    TUpdateRecord Record(Files, Port, Index);
    TPortEnd End;
    TConnection Link(Port);
    if (!Link.Open()) {
        if (Interrupted()) {
            End = {"interrupted", {}, ecInterrupted};
        } else {
            const TOpenFailure Failure = Link.Worker().OpenFailure();
            End = {"cannot open the port: " + OpenRefusalName(Failure.Kind), Failure.Advice, ecPortNotOpened};
        }
        Board.Show(Index, End.Text);
        Record.Finish(End.Code, End.Text);
        return End;
    }
    TUpdateHost Host(
        Link.Worker(),
        [&](const std::string& Text) {
            End.Text = Text;
            Board.Show(Index, Text);
        },
        [&](const TRunProgress& Run) { Board.Progress(Index, Run); });
    Record.Follow(Host.Job(), Link.Worker());
    const TUpdateOutcome Outcome = Job(Host.Job(), Index);
    End.Code = ExitCodeOf(Outcome);
    End.Text = EndText(Outcome, End.Text);
    End.Advice = FileFaultText(Host.Job());
    End.Code = Record.Finish(End.Code, End.Text);
    return End;
}

// The table of port, final text and exit code; the exit code of the first failing port.
int ReportEnds(const std::vector<std::string>& Ports, const std::vector<TPortEnd>& Ends)
{
    const int Width = static_cast<int>(Widest(Ports));
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

CLI::App* AddPortsCommand(CLI::App& App, TPortsRequest& Request)
{
    CLI::App* Ports = App.add_subcommand("ports", "list the serial ports; nothing is sent to them");
    CLI::Option* Probe = Ports->add_flag(
        "--probe", Request.Probe, "send the boot query to every free port at once and show what each answers");
    Ports->add_option("--port", Request.Ports, "probe this port instead of the listed ones; repeatable")->needs(Probe);
    return Ports;
}

int RunPorts(const TPortsRequest& Request)
{
    if (!Request.Probe) {
        const std::vector<std::string> Listed = ListSerialPorts();
        for (const std::string& Name : Listed)
            std::printf("%s\n", Name.c_str());
        // Said apart from the list, so that a script reading stdout finds it empty.
        if (Listed.empty())
            std::fprintf(stderr, "sw30415: no serial ports found\n");
        return ecDone;
    }
    const std::vector<TProbeResult> Results = ProbeNamedOrListed(Request.Ports);
    if (Interrupted())
        return ecInterrupted;
    std::vector<std::string> Probed;
    for (const TProbeResult& Result : Results)
        Probed.push_back(Result.Port);
    const int Width = static_cast<int>(Widest(Probed));
    for (const TProbeResult& Result : Results)
        std::printf("%-*s  %s\n", Width, Result.Port.c_str(), ProbeText(Result).c_str());
    return ecDone;
}

int ChoosePorts(const std::vector<std::string>& Ports, bool AllInBootMode, std::vector<std::string>& Chosen)
{
    Chosen = Ports;
    if (!AllInBootMode)
        return ecDone;
    Chosen.clear();
    for (const TProbeResult& Result : ProbeNamedOrListed(Ports))
        if (Result.State == TProbeState::BootMode)
            Chosen.push_back(Result.Port);
    if (Interrupted())
        return ecInterrupted;
    if (Chosen.empty()) {
        std::fprintf(stderr, "sw30415: no port has a device in boot mode\n");
        return ecNotInBootMode;
    }
    return ecDone;
}

int RunOnPorts(const std::vector<std::string>& Ports, const TPortJob& Job, const TUpdateFiles& Files)
{
    TUpdateBoard Board(stdout, StdoutIsTerminal(), Ports);
    std::vector<TPortEnd> Ends(Ports.size());
    {
        std::vector<std::jthread> Runs;
        for (size_t I = 0; I < Ports.size(); ++I)
            Runs.emplace_back([&, I] { Ends[I] = RunOnePort(Ports[I], I, Job, Files, Board); });
    }
    return ReportEnds(Ports, Ends);
}

int RunProductionUpdate(const std::vector<std::string>& Ports, bool AllInBootMode, const TUpdateFiles& Files)
{
    std::vector<std::string> Chosen;
    if (const int Code = ChoosePorts(Ports, AllInBootMode, Chosen); Code != ecDone)
        return Code;
    return RunOnPorts(Chosen, UpdateJob(Files.Image), Files);
}
