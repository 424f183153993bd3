#include "Connection.h"

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
