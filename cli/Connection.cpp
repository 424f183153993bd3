#include "Connection.h"

#include <cstdio>

#include "Interrupt.h"
#include "PortPath.h"

namespace {

// 10 ms waits: the worker's 200 ms pause before the open, and the open itself, with room to spare.
constexpr int OpenWaitLimit = 1000;

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
    // The open has been tried once the link is open or its error is stored. The port object is no
    // sign of it: the worker stores it just before the link's state, so that a reader who sees the
    // link open finds the port, and one who sees the port may still find the link closed.
    for (int Waits = 0; FWorker->FLinkOpen.load(std::memory_order_acquire) != 1 &&
                        FWorker->FLinkError.load(std::memory_order_acquire) == 0 && Waits < OpenWaitLimit &&
                        !Interrupted();
         ++Waits)
        TThread::Sleep(10);
    return !Interrupted() && FWorker->FLinkOpen.load(std::memory_order_acquire) == 1;
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
