#include "PortProbe.h"

#include <thread>

#include "Connection.h"
#include "FirmwareUpdate.h"
#include "PortHeld.h"

namespace {

TProbeResult Probe(const std::string& Port)
{
    TProbeResult Result;
    Result.Port = Port;
    TConnection Link(Port);
    if (!Link.Open()) {
        // The open fails before anything is written: a held port sees no request.
        const bool Held = PortHeld(Link.Worker().FLinkError.load(std::memory_order_acquire));
        Result.State = Held ? TProbeState::Busy : TProbeState::NotOpened;
        return Result;
    }
    // The same boot check as the update's; it needs only the hooks' Sleep.
    TFirmwareUpdate Job(Link.Worker(), TUpdateHooks{});
    const bool InBootMode = Job.CheckBootMode();
    Result.Reply = Job.BootReply();
    if (InBootMode)
        Result.State = TProbeState::BootMode;
    else
        Result.State = Result.Reply.empty() ? TProbeState::NoAnswer : TProbeState::OtherReply;
    return Result;
}

} // namespace

std::vector<TProbeResult> ProbePorts(const std::vector<std::string>& Ports)
{
    std::vector<TProbeResult> Results(Ports.size());
    {
        std::vector<std::jthread> Probes;
        for (size_t I = 0; I < Ports.size(); ++I)
            Probes.emplace_back([&Results, &Ports, I] { Results[I] = Probe(Ports[I]); });
    }
    return Results;
}

std::string ProbeText(const TProbeResult& Result)
{
    switch (Result.State) {
    case TProbeState::Busy: return "busy (held by another program)";
    case TProbeState::NotOpened: return "cannot be opened";
    case TProbeState::NoAnswer: return "no answer";
    case TProbeState::OtherReply: return "answered \"" + Result.Reply + "\", not in boot mode";
    case TProbeState::BootMode: return "boot mode: \"" + Result.Reply + "\"";
    }
    return {};
}
