#include "PortRunner.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <thread>

#include "Platform.h"
#include "PortList.h"

namespace {

TProbeResult Probe(const std::string& Port)
{
    TProbeResult Result;
    Result.Port = Port;
    TConnection Link(Port);
    if (Link.AwaitOpen()) {
        // The open fails before anything is written: a held port sees no request.
        const TOpenFailure Failure = Link.Worker().OpenFailure();
        Result.State = Failure.Kind == TOpenRefusal::Busy ? TProbeState::Busy : TProbeState::NotOpened;
        Result.Advice = Failure.Advice;
        return Result;
    }
    // The same boot check as the update's; it needs only the hooks' Sleep.
    TUpdateHooks Hooks;
    Hooks.TakeEndsAtOnce = true;
    TFirmwareUpdate Job(Link.Worker(), Hooks);
    const bool InBootMode = Job.CheckBootMode();
    Result.Reply = Job.BootReply();
    if (InBootMode)
        Result.State = TProbeState::BootMode;
    else
        Result.State = Result.Reply.empty() ? TProbeState::NoAnswer : TProbeState::OtherReply;
    return Result;
}

struct TPortsArgs {
    bool Probe = false;
    std::vector<std::string> Ports;
};

// Without Probe: the ports of this machine, one name a line; nothing is sent. With Probe: the
// result of the boot query on each of Ports (none given: every listed port).
int RunPorts(const TPortsArgs& Args)
{
    if (!Args.Probe) {
        const std::vector<std::string> Listed = ListSerialPorts();
        for (const std::string& Name : Listed)
            std::printf("%s\n", Name.c_str());
        // Said apart from the list, so that a script reading stdout finds it empty.
        if (Listed.empty())
            std::fprintf(stderr, "sw30415: no serial ports found\n");
        return ecDone;
    }
    const std::vector<TProbeResult> Results = ProbeNamedOrListed(Args.Ports);
    if (Interrupted())
        return ecInterrupted;
    std::vector<std::string> Probed;
    for (const TProbeResult& Result : Results)
        Probed.push_back(Result.Port);
    const int Width = static_cast<int>(PortColumnWidth(Probed));
    for (const TProbeResult& Result : Results)
        std::printf("%-*s  %s\n", Width, Result.Port.c_str(), ProbeText(Result).c_str());
    return ecDone;
}

} // namespace

std::vector<TProbeResult> ProbePorts(const std::vector<std::string>& Ports, const std::vector<std::string>& Consoles)
{
    std::vector<TProbeResult> Results(Ports.size());
    {
        std::vector<std::jthread> Probes;
        for (size_t I = 0; I < Ports.size(); ++I) {
            // A boot query written to a console lands in somebody's terminal or login prompt.
            if (std::find(Consoles.begin(), Consoles.end(), Ports[I]) != Consoles.end())
                Results[I] = {Ports[I], TProbeState::Console, {}, {}};
            else
                Probes.emplace_back([&Results, &Ports, I] { Results[I] = Probe(Ports[I]); });
        }
    }
    return Results;
}

std::vector<TProbeResult> ProbeNamedOrListed(const std::vector<std::string>& Named)
{
    if (!Named.empty())
        return ProbePorts(Named);
    return ProbePorts(ListSerialPorts(), ActiveConsoles());
}

size_t PortColumnWidth(const std::vector<std::string>& Ports)
{
    size_t Width = 4; // "port"
    for (const std::string& Port : Ports)
        Width = std::max(Width, Port.size());
    return Width;
}

void AddPortCommands(CLI::App& App, int& ExitCode)
{
    const auto Args = std::make_shared<TPortsArgs>();
    CLI::App* Ports = App.add_subcommand("ports", "list the serial ports; nothing is sent to them");
    CLI::Option* Probe = Ports->add_flag(
        "--probe", Args->Probe, "send the boot query to every free port at once and show what each answers");
    AddPortOption(*Ports, Args->Ports, "; probe this port instead of the listed ones; repeatable")->needs(Probe);
    Ports->callback([Args, &ExitCode] {
        InstallInterruptHandlers();
        ExitCode = RunPorts(*Args);
    });
}
