#include "CommEventThread.h"

namespace {

// Indexed by TCommEventType.
constexpr uint32_t EventFlagOf[] = {EV_BREAK, EV_CTS, EV_DSR, EV_ERR, EV_RING,
                                    EV_RLSD, EV_RXCHAR, EV_RXFLAG, EV_TXEMPTY};

} // namespace

uint32_t EventFlags(TCommEventTypes Events)
{
    uint32_t Flags = 0;
    for (int Type = evBreak; Type <= evTxEmpty; ++Type)
        if (Events.Contains(static_cast<TCommEventType>(Type)))
            Flags |= EventFlagOf[Type];
    return Flags;
}

TCommEventThread::TCommEventThread(THandle Handle, TCommEventTypes Events)
    : FCommHandle(Handle), FShared(std::make_shared<TShared>())
{
    SetPriority(TThreadPriority::tpHigher);
    SetFreeOnTerminate(true);
    FEventWait = CommPlatform::CreateEventWait(FCommHandle, EventFlags(Events),
                                               FShared->WakeEvent.Handle());
    Resume();
}

void TCommEventThread::SetOnSignal(TCommSignalEvent Handler)
{
    std::lock_guard Lock(FShared->Lock);
    FShared->OnSignal = std::move(Handler);
}

void TCommEventThread::SetOnHangUp(std::function<void()> Handler)
{
    std::lock_guard Lock(FShared->Lock);
    FShared->OnHangUp = std::move(Handler);
}

void TCommEventThread::Stop()
{
    // Once terminated the thread may end and free itself at any moment, so every use of this
    // object comes first and the wake-up, through the shared part, comes last.
    std::shared_ptr<TShared> Shared = FShared;
    {
        std::lock_guard Lock(Shared->Lock);
        Shared->OnSignal = nullptr;
        Shared->OnHangUp = nullptr;
        FEventWait->Release();
    }
    // The thread's last act on the device, done here while the device is still this open's:
    // after Close the same device may already belong to a new open.
    CommPlatform::Purge(FCommHandle, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    // A hand-off queued now or later would wait for a main thread that may never serve it.
    DropSynchronizeCalls();
    Terminate();
    Shared->WakeEvent.SetEvent();
}

void TCommEventThread::Execute()
{
    std::shared_ptr<TShared> Shared = FShared;
    bool Dispatching = true;
    while (!Terminated()) {
        if (!Dispatching) {
            // A handler raised: this open reports nothing more and waits only for Stop.
            Shared->WakeEvent.WaitFor(INFINITE);
            continue;
        }
        uint32_t Raw = 0;
        if (!FEventWait->Wait(Raw)) {
            // Woken by Stop, or the wait failed: a failing wait must not spin until Close.
            if (!Terminated())
                Shared->WakeEvent.WaitFor(100);
            continue;
        }
        {
            // Stop takes this lock before the port releases the device, so the device is still
            // this open's while the report is read.
            std::lock_guard Lock(Shared->Lock);
            if (!Shared->OnSignal)
                continue;
            bool HungUp = false;
            FEventMask = FEventWait->Events(Raw, HungUp);
            if (HungUp && Shared->OnHangUp)
                Shared->OnHangUp();
        }
        if (FEventMask == 0)
            continue;
        try {
            const uint32_t EventMask = FEventMask;
            Synchronize([this, EventMask] { Dispatch(EventMask); });
        } catch (...) {
            Dispatching = false;
        }
    }
    FEventWait.reset();
}

void TCommEventThread::Dispatch(uint32_t EventMask)
{
    // Runs on the main thread while this thread waits for it, so the object is alive; the lock
    // keeps Stop (from any thread) from returning while a handler still runs.
    std::lock_guard Lock(FShared->Lock);
    const TCommSignalEvent Handler = FShared->OnSignal;
    if (Handler)
        Handler(this, EventMask);
}
