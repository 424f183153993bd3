#include "UpdateHost.h"

#include <algorithm>

#include "Console.h"
#include "arm_ser.h"

namespace {

constexpr std::chrono::milliseconds TickInterval{500};

} // namespace

TUpdateHost::TUpdateHost(Tarm_SER& Worker, TShowStatus ShowStatus, TShowProgress ShowProgress)
    : FWorker(Worker), FShowStatus(std::move(ShowStatus)), FShowProgress(std::move(ShowProgress)),
      FJob(Worker, Hooks()), FTimer(TickInterval, [this] { FJob.T_AutoTimer(); })
{
}

TUpdateHooks TUpdateHost::Hooks()
{
    TUpdateHooks Hooks;
    Hooks.Show = [this](const std::string& Text) {
        FStatusText = Text;
        FShowStatus(Text);
    };
    Hooks.ProcessMessages = [this] {
        if (Interrupted())
            FJob.Abandon();
        FTimer.Poll();
    };
    Hooks.StartTimer = [this] { FTimer.Start(); };
    Hooks.StopTimer = [this] { FTimer.Stop(); };
    Hooks.SetProgress = [this](int Position) { FShowProgress(RunProgress(Position)); };
    Hooks.TakeEndsAtOnce = true;
    return Hooks;
}

TRunProgress TUpdateHost::RunProgress(int Position) const
{
    const TRunSnapshot Snapshot = FWorker.Progress();
    const uint32_t Span = Snapshot.End - Snapshot.Start;
    const uint32_t Done = Snapshot.Address - Snapshot.Start;
    TRunProgress Run;
    Run.Position = Position;
    Run.TotalBlocks = Span / BlockDataSize + 1;
    Run.Blocks = std::min(Done / BlockDataSize, Run.TotalBlocks);
    return Run;
}
