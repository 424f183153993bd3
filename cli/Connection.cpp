#include "Connection.h"

#include <cstdio>

#include "Interrupt.h"

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
    // The worker creates its port object once the open was tried, open or not.
    for (int Waits = 0; FWorker->FComm.load(std::memory_order_acquire) == nullptr && Waits < OpenWaitLimit &&
                        !Interrupted();
         ++Waits)
        TThread::Sleep(10);
    return !Interrupted() && FWorker->FLinkOpen.load(std::memory_order_acquire) == 1;
}

TExitCode OpenPort(TConnection& Link, const std::string& Port)
{
    if (Link.Open())
        return ecDone;
    if (Interrupted())
        return ecInterrupted;
    std::fprintf(stderr, "sw30415: cannot open the port %s\n", Port.c_str());
    return ecPortNotOpened;
}
