// The thread of one open port that waits for line events and hands each event word to the main
// thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "CommObjs.h"
#include "CommTypes.h"
#include "SerialPlatform.h"
#include "Thread.h"

using TCommSignalEvent = std::function<void(TThread* Sender, uint32_t EventMask)>;

class TCommEventThread final : public TThread {
public:
    // Starts at once, one step above normal priority, and frees itself when it ends.
    TCommEventThread(THandle Handle, TCommEventTypes Events);

    void SetOnSignal(TCommSignalEvent Handler);
    // Called on this thread, not handed to the main thread, when the device hangs up: whoever
    // polls the port must learn it even while the main thread serves no hand-offs.
    void SetOnHangUp(std::function<void()> Handler);
    // Wakes the thread and marks it terminated without waiting for it. After Stop no call reaches
    // the handler; a hand-off already running on the main thread is waited for.
    void Stop();

protected:
    void Execute() override;

private:
    // What the thread and its port share; it outlives the thread object, which frees itself.
    struct TShared {
        std::recursive_mutex Lock;
        TCommSignalEvent OnSignal;
        std::function<void()> OnHangUp;
        TSimpleEvent WakeEvent;
    };

    void Dispatch(uint32_t EventMask);

    THandle FCommHandle;
    std::shared_ptr<TShared> FShared;
    std::unique_ptr<CommPlatform::TEventWait> FEventWait;
    uint32_t FEventMask = 0;
};

// The platform's event flags for a set of event types.
uint32_t EventFlags(TCommEventTypes Events);
