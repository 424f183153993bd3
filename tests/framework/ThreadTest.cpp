#include "Thread.h"
#include "WaitUntil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <stdexcept>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

// The calling thread's priority as the system keeps it: one more for each step up.
int NativePriority()
{
#ifdef _WIN32
    return GetThreadPriority(GetCurrentThread());
#else
    return -getpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)));
#endif
}

// Linux lets only root raise a priority; Windows lets any process go as far as "highest".
bool MayRaisePriority()
{
#ifdef _WIN32
    return true;
#else
    return geteuid() == 0;
#endif
}

// Runs a function as its body.
class TFunctionThread : public TThread {
public:
    TFunctionThread(bool CreateSuspended, std::function<void(TFunctionThread&)> Body)
        : FBody(std::move(Body))
    {
        if (!CreateSuspended)
            Resume();
    }
    ~TFunctionThread() override { TerminateAndWait(); }
    using TThread::CheckSuspended;

protected:
    void Execute() override { FBody(*this); }

private:
    std::function<void(TFunctionThread&)> FBody;
};

} // namespace

TEST(Thread, StartsRunningOrSuspendedAndStopsOnRequest)
{
    std::atomic<int> Passes{0};
    TFunctionThread Thread(true, [&](TFunctionThread& Self) {
        while (!Self.Terminated()) {
            ++Passes;
            TThread::Sleep(1);
        }
    });
    TThread::Sleep(30);
    EXPECT_EQ(Passes.load(), 0) << "a thread created suspended must not run";
    Thread.Resume();
    ASSERT_TRUE(WaitUntil([&] { return Passes.load() > 0; }));

    // Suspend takes effect at the next safe point (the sleep), and Resume lets it go on.
    Thread.Suspend();
    TThread::Sleep(20);
    const int Frozen = Passes.load();
    TThread::Sleep(30);
    EXPECT_LE(Passes.load(), Frozen + 1);
    Thread.Resume();
    ASSERT_TRUE(WaitUntil([&] { return Passes.load() > Frozen + 1; }));

    Thread.Terminate();
    EXPECT_TRUE(Thread.Terminated());
    Thread.WaitFor();
    EXPECT_TRUE(Thread.Finished());
}

TEST(Thread, SynchronizeRunsOnTheMainThreadAndCarriesExceptionsBack)
{
    std::atomic<bool> RanOnMain{false};
    std::atomic<bool> CaughtInThread{false};
    TFunctionThread Thread(false, [&](TFunctionThread& Self) {
        Self.Synchronize([&] { RanOnMain = IsMainThread(); });
        try {
            Self.Synchronize([] { throw std::runtime_error("raised on main"); });
        } catch (const std::runtime_error& Error) {
            CaughtInThread = std::string(Error.what()) == "raised on main";
        }
    });
    // Nothing runs until the main thread serves the queue.
    TThread::Sleep(20);
    EXPECT_FALSE(RanOnMain.load());
    ASSERT_TRUE(WaitUntil([&] {
        CheckSynchronize();
        return Thread.Finished();
    }));
    EXPECT_TRUE(RanOnMain.load());
    EXPECT_TRUE(CaughtInThread.load());

    // On the main thread the call runs at once.
    bool RanAtOnce = false;
    TThread::Synchronize(nullptr, [&] { RanAtOnce = true; });
    EXPECT_TRUE(RanAtOnce);
}

TEST(Thread, WaitForOnTheMainThreadServesCallsAndWakesTheLoop)
{
    std::atomic<int> Wakes{0};
    WakeMainThread = [&] { ++Wakes; };
    int Served = 0;
    TFunctionThread Thread(false, [&](TFunctionThread& Self) {
        for (int I = 0; I < 3; ++I)
            Self.Synchronize([&] { ++Served; });
    });
    // The thread waits in Synchronize while the main thread waits for it: no deadlock.
    Thread.WaitFor();
    WakeMainThread = nullptr;
    EXPECT_EQ(Served, 3);
    EXPECT_EQ(Wakes.load(), 3);
}

TEST(Thread, DroppedCallsReleaseTheirCallersNowAndLater)
{
    std::atomic<int> Returned{0};
    int Ran = 0;
    TFunctionThread Thread(false, [&](TFunctionThread& Self) {
        Self.Synchronize([&] { ++Ran; });
        ++Returned;
        Self.Synchronize([&] { ++Ran; });
        ++Returned;
    });
    TThread::Sleep(20);
    Thread.DropSynchronizeCalls();
    ASSERT_TRUE(WaitUntil([&] { return Returned.load() == 2; }));
    CheckSynchronize();
    EXPECT_EQ(Ran, 0);
}

TEST(Thread, SuspendFromASynchronizedCallHoldsTheThreadAfterTheCall)
{
    std::atomic<int> Ticks{0};
    TFunctionThread* Self = nullptr;
    TFunctionThread Thread(true, [&](TFunctionThread& T) {
        while (!T.Terminated()) {
            TThread::Sleep(1);
            T.Synchronize([&] {
                if (++Ticks == 3)
                    Self->Suspend();
            });
        }
    });
    Self = &Thread;
    Thread.Resume();
    ASSERT_TRUE(WaitUntil([&] {
        CheckSynchronize();
        return Ticks.load() >= 3;
    }));
    for (int I = 0; I < 20; ++I) {
        CheckSynchronize();
        TThread::Sleep(2);
    }
    EXPECT_EQ(Ticks.load(), 3);
    EXPECT_TRUE(Thread.Suspended());
    // The destructor resumes, terminates and waits.
}

TEST(Thread, FreesItselfAndTakesItsPriority)
{
    static std::atomic<bool> Destroyed;
    Destroyed = false;
    class TSelfFreeing : public TThread {
    public:
        TSelfFreeing()
        {
            SetFreeOnTerminate(true);
            SetPriority(TThreadPriority::tpHigher);
        }
        ~TSelfFreeing() override { Destroyed = true; }
        std::atomic<int> Native{INT_MIN};

    protected:
        void Execute() override
        {
            Native = NativePriority();
            while (!Terminated())
                TThread::Sleep(1);
        }
    };
    auto* Thread = new TSelfFreeing;
    EXPECT_EQ(Thread->Priority(), TThreadPriority::tpHigher);
    Thread->Resume();
    ASSERT_TRUE(WaitUntil([&] { return Thread->Native.load() != INT_MIN; }));
    // One step above this thread's normal priority, where the system lets the process raise it.
    if (MayRaisePriority()) {
        EXPECT_EQ(Thread->Native.load(), NativePriority() + 1);
    }
    Thread->Terminate();
    EXPECT_TRUE(WaitUntil([] { return Destroyed.load(); }));
}

TEST(Thread, WaitForEndsAThreadThatACallItServedSuspended)
{
    TFunctionThread* Self = nullptr;
    TFunctionThread Thread(true, [&](TFunctionThread& T) {
        T.Synchronize([&] { Self->Suspend(); });
    });
    Self = &Thread;
    Thread.Resume();
    Thread.Terminate();
    Thread.WaitFor();
    EXPECT_TRUE(Thread.Finished());
}
