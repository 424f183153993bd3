// Which ports hold a device in boot mode: each port is opened by a worker of its own and asked the
// boot query, all at once, so that a bench of devices takes one boot wait, not one per port. A port
// that another program holds is reported as busy; nothing is sent to it.
#pragma once

#include <string>
#include <vector>

enum class TProbeState { Busy, NotOpened, NoAnswer, OtherReply, BootMode };

struct TProbeResult {
    std::string Port;
    TProbeState State = TProbeState::NotOpened;
    std::string Reply; // the first line of the reply
};

// In the order given.
std::vector<TProbeResult> ProbePorts(const std::vector<std::string>& Ports);

// "busy (held by another program)", "no answer", "boot mode: \"BOOT VER 1.05\"", ...
std::string ProbeText(const TProbeResult& Result);
