#include "GapWatch.h"

#include <QLabel>

#include <algorithm>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

TGapWatch::TGapWatch(const QLabel& Status)
    : FStatus(Status), FSchedStat(open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC))
{
    // A coarse timer may fire up to 5 % late, which would show as gaps the loop did not cause.
    FTimer.setTimerType(Qt::PreciseTimer);
    FTimer.setInterval(TickMs);
    QObject::connect(&FTimer, &QTimer::timeout, [this] { Tick(); });
}

TGapWatch::~TGapWatch()
{
    if (FSchedStat >= 0)
        close(FSchedStat);
}

void TGapWatch::Start()
{
    FStart = FLast = TClock::now();
    FLastWaited = WaitedMs();
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
    const double Waited = WaitedMs();
    const double Waiting = Waited >= 0 && FLastWaited >= 0 ? Waited - FLastWaited : -1;
    FGaps.push_back({TMs(Now - FLast).count(), TMs(Now - FStart).count(), FStatus.text(), Waiting});
    FLast = Now;
    FLastWaited = Waited;
}

double TGapWatch::WaitedMs() const
{
    // Time on a processor, time waiting for one, both in ns; then the number of slices.
    char Text[96];
    const ssize_t Length = FSchedStat >= 0 ? pread(FSchedStat, Text, sizeof Text - 1, 0) : -1;
    if (Length <= 0)
        return -1;
    Text[Length] = '\0';
    unsigned long long Running = 0, Waiting = 0;
    if (std::sscanf(Text, "%llu %llu", &Running, &Waiting) != 2)
        return -1;
    return static_cast<double>(Waiting) / 1e6;
}

std::size_t GapBin(double Ms)
{
    const auto Bin = std::upper_bound(GapBinEnds.begin(), GapBinEnds.end(), Ms) - GapBinEnds.begin();
    return std::min(static_cast<std::size_t>(Bin), GapBinEnds.size() - 1);
}
