#include "LbButtonThread.h"

#include <utility>

TLbButtonThread::TLbButtonThread(std::function<void()> Step)
    : TThread{}
    , FStep(std::move(Step))
{
    SetFreeOnTerminate(true);
}

TLbButtonThread::~TLbButtonThread()
{
    // Execute uses FStep, so it must have ended before the member goes. A thread that freed itself
    // has already finished.
    if (!Finished())
        TerminateAndWait();
}

void TLbButtonThread::Execute()
{
    while (!Terminated()) {
        TThread::Sleep(30);
        Synchronize(FStep);
    }
}
