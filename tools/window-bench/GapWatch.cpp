#include "GapWatch.h"

#include <QLabel>

#include <algorithm>

TGapWatch::TGapWatch(const QLabel& Status) : FStatus(Status)
{
    // A coarse timer may fire up to 5 % late, which would show as gaps the loop did not cause.
    FTimer.setTimerType(Qt::PreciseTimer);
    FTimer.setInterval(TickMs);
    QObject::connect(&FTimer, &QTimer::timeout, [this] { Tick(); });
}

void TGapWatch::Start()
{
    FStart = FLast = TClock::now();
    FTimer.start();
}

void TGapWatch::Stop()
{
    Tick();
    FTimer.stop();
}

void TGapWatch::Tick()
{
    using TMs = std::chrono::duration<double, std::milli>;
    const auto Now = TClock::now();
    FGaps.push_back({TMs(Now - FLast).count(), TMs(Now - FStart).count(), FStatus.text()});
    FLast = Now;
}

std::size_t GapBin(double Ms)
{
    const auto Bin = std::upper_bound(GapBinEnds.begin(), GapBinEnds.end(), Ms) - GapBinEnds.begin();
    return std::min(static_cast<std::size_t>(Bin), GapBinEnds.size() - 1);
}
