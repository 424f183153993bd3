// Which ports hold a device in boot mode: each port is opened by a worker of its own and asked the
// boot query, all at once, so that a bench of devices takes one boot wait, not one per port. A port
// that another program holds is reported as busy; nothing is sent to it, nor to a system console.
#pragma once

#include <string>
#include <vector>

enum class TProbeState { Console, Busy, NotOpened, NoAnswer, OtherReply, BootMode };

struct TProbeResult {
    std::string Port;
    TProbeState State = TProbeState::NotOpened;
    std::string Reply;  // the first line of the reply
    std::string Advice; // why the port could not be opened
};

// In the order given. The ports in Consoles are only reported, never opened.
std::vector<TProbeResult> ProbePorts(const std::vector<std::string>& Ports,
                                     const std::vector<std::string>& Consoles = {});

// The ports a person named, all of them; else the listed ones, with the system's consoles skipped.
std::vector<TProbeResult> ProbeNamedOrListed(const std::vector<std::string>& Named);

// "busy (held by another program)", "no answer", "boot mode: \"BOOT VER 1.05\"", ...
std::string ProbeText(const TProbeResult& Result);

// The width of a column of port names under the heading "port".
size_t PortColumnWidth(const std::vector<std::string>& Ports);
