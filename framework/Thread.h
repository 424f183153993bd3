// A small thread class with the toolkit semantics the units rely on: a priority, Suspend/Resume at
// safe points, the Terminate request, free-on-terminate, WaitFor and Synchronize (a call run on the
// main thread while the caller waits).
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

enum class TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TThread {
public:
    // Created suspended: Resume starts it. A thread meant to run at once calls Resume last in its
    // own constructor, once every member that Execute uses exists; starting earlier would let
    // Execute run on a half-built object.
    TThread() = default;
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;
    // A subclass whose Execute uses its own members must stop the thread in its own destructor
    // (TerminateAndWait), since those members are gone by the time this destructor runs.
    virtual ~TThread();

    void Resume();
    // Takes effect at the thread's next safe point: Sleep, Synchronize or CheckSuspended.
    void Suspend();
    bool Suspended() const { return FSuspended.load(std::memory_order_acquire); }
    void Terminate() { FTerminated.store(true, std::memory_order_release); }
    bool Terminated() const { return FTerminated.load(std::memory_order_acquire); }
    bool Finished() const { return FFinished.load(std::memory_order_acquire); }

    // The thread deletes itself when Execute returns or raises. Set before it can end; such a
    // thread is neither waited for nor deleted by others.
    void SetFreeOnTerminate(bool Value) { FFreeOnTerminate.store(Value, std::memory_order_release); }
    bool FreeOnTerminate() const { return FFreeOnTerminate.load(std::memory_order_acquire); }

    // Best effort: raising a priority needs privileges the process may not have.
    void SetPriority(TThreadPriority Value);
    TThreadPriority Priority() const { return FPriority.load(); }

    // Waits until Execute has returned; on the main thread it keeps serving Synchronize calls.
    // Starts a thread that was created suspended and never resumed, so that it can end.
    void WaitFor();
    void TerminateAndWait();

    // Runs Method on the main thread and waits for it; an exception raised there is raised again
    // here. Called on the main thread, it runs at once. A call dropped by DropSynchronizeCalls
    // returns without running.
    void Synchronize(const std::function<void()>& Method);
    static void Synchronize(TThread* Thread, const std::function<void()>& Method);

    // Drops the thread's waiting Synchronize call and every later one, letting the thread go on:
    // for a thread whose results nobody will take any more.
    void DropSynchronizeCalls();

    // Sleeps on the thread's behalf; a safe point for Suspend. Any thread may call it.
    static void Sleep(unsigned Milliseconds);

protected:
    virtual void Execute() = 0;
    // A safe point: blocks while the thread is suspended.
    void CheckSuspended();

private:
    static void Run(TThread* Self);
    void StartOsThread();
    bool Started();
    void ApplyPriority();

    std::thread FThread;
    std::mutex FStateMutex;
    std::condition_variable FStateChanged;
    std::atomic<bool> FSuspended{true};
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FFinished{false};
    std::atomic<bool> FFreeOnTerminate{false};
    bool FStarted = false; // under FStateMutex
    bool FSynchronizeDropped = false; // under the call queue's lock
    std::atomic<TThreadPriority> FPriority{TThreadPriority::tpNormal};
    std::atomic<std::int64_t> FNativeId{0}; // the system's id of the running thread, 0 before it runs
};

// The main thread serves waiting Synchronize calls here. Returns true when it ran at least one.
bool CheckSynchronize();

// Called whenever a Synchronize call starts waiting, from the waiting thread, so that an event loop
// can wake and call CheckSynchronize. Replace before starting threads.
extern std::function<void()> WakeMainThread;

// The thread that serves Synchronize calls: the one that started the program, unless set.
void SetMainThread(std::thread::id Id);
bool IsMainThread();
