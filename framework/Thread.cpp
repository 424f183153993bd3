#include "Thread.h"
#include "ThreadNative.h"

#include <chrono>
#include <deque>
#include <exception>
#include <memory>

std::function<void()> WakeMainThread;

namespace {

struct TSyncRequest {
    TThread* Thread = nullptr;
    const std::function<void()>* Method = nullptr;
    std::exception_ptr Error;
    bool Finished = false;
};

// One queue of waiting Synchronize calls for the whole program. The condition variable also
// announces finished threads, so a WaitFor on the main thread can serve calls while it waits.
struct TSyncQueue {
    std::mutex Mutex;
    std::condition_variable Changed;
    std::deque<std::shared_ptr<TSyncRequest>> Pending;
};

TSyncQueue& SyncQueue()
{
    // Never destroyed: self-freeing threads may still signal it while the program exits.
    static TSyncQueue* Queue = new TSyncQueue;
    return *Queue;
}

std::atomic<std::thread::id>& MainThreadId()
{
    static std::atomic<std::thread::id> Id{std::this_thread::get_id()};
    return Id;
}

thread_local TThread* CurrentThread = nullptr;

// Taken at static initialisation, which runs on the thread that starts the program.
[[maybe_unused]] const bool MainThreadRecorded = (MainThreadId(), true);

} // namespace

void SetMainThread(std::thread::id Id) { MainThreadId().store(Id); }

bool IsMainThread() { return std::this_thread::get_id() == MainThreadId().load(); }

bool CheckSynchronize()
{
    auto& Q = SyncQueue();
    bool Ran = false;
    for (;;) {
        std::shared_ptr<TSyncRequest> Request;
        {
            std::lock_guard Lock(Q.Mutex);
            if (Q.Pending.empty())
                return Ran;
            Request = Q.Pending.front();
            Q.Pending.pop_front();
        }
        std::exception_ptr Error;
        try {
            (*Request->Method)();
        } catch (...) {
            Error = std::current_exception();
        }
        {
            std::lock_guard Lock(Q.Mutex);
            // Handed over whole: the exception's last owner is the thread that raises it again.
            Request->Error = std::move(Error);
            Request->Finished = true;
        }
        Q.Changed.notify_all();
        Ran = true;
    }
}

TThread::~TThread()
{
    if (FThread.get_id() == std::this_thread::get_id()) {
        // Freed by its own thread (free-on-terminate): nobody is left to join it.
        FThread.detach();
        return;
    }
    if (Started() && !Finished()) {
        Terminate();
        WaitFor();
    }
    if (FThread.joinable())
        FThread.join();
}

void TThread::StartOsThread()
{
    // Held until FThread is assigned: a short Execute could otherwise end and free the object first.
    std::lock_guard Lock(FStateMutex);
    if (FStarted)
        return;
    FStarted = true;
    FThread = std::thread(&TThread::Run, this);
}

bool TThread::Started()
{
    std::lock_guard Lock(FStateMutex);
    return FStarted;
}

void TThread::Run(TThread* Self)
{
    { std::lock_guard Lock(Self->FStateMutex); }
    CurrentThread = Self;
    Self->FNativeId.store(CurrentNativeThreadId());
    Self->ApplyPriority();
    Self->CheckSuspended();
    try {
        Self->Execute();
    } catch (...) {
        // The thread ends as if Execute had returned; the exception goes no further.
    }
    const bool FreeSelf = Self->FreeOnTerminate();
    {
        std::lock_guard Lock(Self->FStateMutex);
        Self->FFinished.store(true, std::memory_order_release);
    }
    Self->FStateChanged.notify_all();
    {
        // Wakes a WaitFor that serves Synchronize calls on the main thread.
        std::lock_guard Lock(SyncQueue().Mutex);
    }
    SyncQueue().Changed.notify_all();
    if (FreeSelf)
        delete Self;
}

void TThread::Resume()
{
    {
        std::lock_guard Lock(FStateMutex);
        FSuspended.store(false, std::memory_order_release);
    }
    FStateChanged.notify_all();
    StartOsThread();
}

void TThread::Suspend() { FSuspended.store(true, std::memory_order_release); }

void TThread::CheckSuspended()
{
    std::unique_lock Lock(FStateMutex);
    FStateChanged.wait(Lock, [this] { return !FSuspended.load(std::memory_order_acquire); });
}

void TThread::SetPriority(TThreadPriority Value)
{
    FPriority.store(Value);
    ApplyPriority();
}

void TThread::ApplyPriority()
{
    const std::int64_t Id = FNativeId.load();
    if (Id == 0 || Finished())
        return; // applied by the thread itself when it starts
    SetNativePriority(Id, FPriority.load());
}

void TThread::WaitFor()
{
    if (!Started() || Suspended())
        Resume();
    if (IsMainThread()) {
        auto& Q = SyncQueue();
        std::unique_lock Lock(Q.Mutex);
        while (!Finished()) {
            if (!Q.Pending.empty()) {
                Lock.unlock();
                CheckSynchronize();
                // A call served here may have suspended the very thread this waits for.
                if (Suspended())
                    Resume();
                Lock.lock();
                continue;
            }
            Q.Changed.wait(Lock);
        }
    } else {
        std::unique_lock Lock(FStateMutex);
        FStateChanged.wait(Lock, [this] { return Finished(); });
    }
}

void TThread::TerminateAndWait()
{
    Terminate();
    WaitFor();
}

void TThread::Synchronize(const std::function<void()>& Method) { Synchronize(this, Method); }

void TThread::Synchronize(TThread* Thread, const std::function<void()>& Method)
{
    if (IsMainThread()) {
        Method();
        return;
    }
    auto& Q = SyncQueue();
    auto Request = std::make_shared<TSyncRequest>();
    Request->Thread = Thread;
    Request->Method = &Method;
    {
        std::lock_guard Lock(Q.Mutex);
        if (Thread && Thread->FSynchronizeDropped)
            return;
        Q.Pending.push_back(Request);
    }
    Q.Changed.notify_all();
    if (WakeMainThread)
        WakeMainThread();
    std::exception_ptr Error;
    {
        std::unique_lock Lock(Q.Mutex);
        Q.Changed.wait(Lock, [&] { return Request->Finished; });
        Error = std::move(Request->Error);
    }
    if (Error)
        std::rethrow_exception(Error);
    if (CurrentThread)
        CurrentThread->CheckSuspended();
}

void TThread::DropSynchronizeCalls()
{
    auto& Q = SyncQueue();
    {
        std::lock_guard Lock(Q.Mutex);
        FSynchronizeDropped = true;
        for (auto It = Q.Pending.begin(); It != Q.Pending.end();) {
            if ((*It)->Thread == this) {
                (*It)->Finished = true;
                It = Q.Pending.erase(It);
            } else {
                ++It;
            }
        }
    }
    Q.Changed.notify_all();
}

void TThread::Sleep(unsigned Milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(Milliseconds));
    if (CurrentThread)
        CurrentThread->CheckSuspended();
}
