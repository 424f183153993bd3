#include "Connection.h"

#include <cstdio>

#include "Interrupt.h"

namespace {

// The worker's 200 ms pause before the open, and the open itself, with room to spare.
constexpr std::chrono::seconds OpenWaitLimit{10};

} // namespace

TConnection::TConnection(const std::string& PortName) : FWorker(std::make_unique<Tarm_SER>(true))
{
    FWorker->SetPortName(PortName);
    FWorker->Resume();
}

TConnection::~TConnection()
{
    // Whatever the job left running is abandoned; CloseLink waits until the worker lets go of the port.
    FWorker->Abandon();
    FWorker->CloseLink();
    FWorker->TerminateAndWait();
}

bool TConnection::Open()
{
    return FWorker->AwaitOpen(OpenWaitLimit, [] { return !Interrupted(); }) && !Interrupted();
}

TExitCode OpenPort(TConnection& Link, const std::string& Port)
{
    if (Link.Open())
        return ecDone;
    if (Interrupted())
        return ecInterrupted;
    std::fprintf(stderr, "sw30415: cannot open the port %s: %s\n", Port.c_str(), Link.Worker().OpenFailure().Advice.c_str());
    return ecPortNotOpened;
}
