#include "Connection.h"

#include <cstdio>

#include "Interrupt.h"
#include "PortPath.h"

namespace {

// The worker's 200 ms pause before the open, and the open itself, with room to spare.
constexpr std::chrono::seconds OpenWaitLimit{10};

} // namespace

TConnection::TConnection(const std::string& PortName) : FWorker(std::make_unique<Tarm_SER>(true))
{
    FWorker->FPortName = PortName;
    FWorker->Resume();
}

TConnection::~TConnection()
{
    // Whatever the job left running is abandoned; CloseLink waits until the worker lets go of the port.
    FWorker->FOperation.store(opIdle);
    FWorker->CloseLink();
    FWorker->TerminateAndWait();
}

bool TConnection::Open()
{
    return FWorker->AwaitOpen(OpenWaitLimit, [] { return !Interrupted(); }) && !Interrupted();
}

TOpenFailure TConnection::Failure()
{
    return ClassifyOpenFailure(PortDevicePath(FWorker->FPortName),
                               FWorker->FLinkError.load(std::memory_order_acquire));
}

TExitCode OpenPort(TConnection& Link, const std::string& Port)
{
    if (Link.Open())
        return ecDone;
    if (Interrupted())
        return ecInterrupted;
    std::fprintf(stderr, "sw30415: cannot open the port %s: %s\n", Port.c_str(), Link.Failure().Advice.c_str());
    return ecPortNotOpened;
}
