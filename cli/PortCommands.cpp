#include "Commands.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>

#include "Console.h"
#include "Outcomes.h"
#include "PortList.h"
#include "PortProbe.h"

namespace {

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

void AddPortCommands(CLI::App& App, int& ExitCode)
{
    const auto Args = std::make_shared<TPortsArgs>();
    CLI::App* Ports = App.add_subcommand("ports", "list the serial ports; nothing is sent to them");
    CLI::Option* Probe = Ports->add_flag(
        "--probe", Args->Probe, "send the boot query to every free port at once and show what each answers");
    Ports->add_option("--port", Args->Ports, "probe this port instead of the listed ones; repeatable")->needs(Probe);
    Ports->callback([Args, &ExitCode] {
        InstallInterruptHandlers();
        ExitCode = RunPorts(*Args);
    });
}
