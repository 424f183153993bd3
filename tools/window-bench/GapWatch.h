// The gaps between the ticks of a 10 ms timer on the message loop: how long the loop was held.
#pragma once

#include <QString>
#include <QTimer>

#include <array>
#include <chrono>
#include <cstddef>
#include <vector>

class QLabel;

struct TGap {
    double Ms;
    double AtMs; // from Start to the tick that ended the gap
    QString Status;
    // How long of it the loop's thread was ready to run but had no processor (the machine's share of
    // the gap); negative where the system does not tell.
    double WaitingMs;
};

// Every gap between the ticks, with the text Status showed at the tick that ended it. Created on
// the thread of the loop it watches.
class TGapWatch {
public:
    static constexpr int TickMs = 10;

    explicit TGapWatch(const QLabel& Status);
    ~TGapWatch();
    TGapWatch(const TGapWatch&) = delete;
    TGapWatch& operator=(const TGapWatch&) = delete;
    void Start();
    // The gap up to the end counts too: the loop may have been held at the last.
    void Stop();
    const std::vector<TGap>& Gaps() const { return FGaps; }

private:
    using TClock = std::chrono::steady_clock;
    void Tick();

    // The thread's time waiting for a processor so far, in ms; negative when unknown.
    double WaitedMs() const;

    const QLabel& FStatus;
    QTimer FTimer;
    TClock::time_point FStart, FLast;
    double FLastWaited = -1;
    // The scheduler's figures of the loop's thread, kept open: each tick reads them.
    int FSchedStat = -1;
    std::vector<TGap> FGaps;
};

// A gap at least this long holds one of the window's fixed waits (250, 300 or 700 ms).
inline constexpr double FixedWaitMs = 240;
// The upper ends of the histogram's bins; each bin holds the gaps from the bound before up to, not
// including, its own. The last takes every longer gap.
inline constexpr std::array<double, 9> GapBinEnds{12, 15, 20, 30, 50, 100, FixedWaitMs, 700, 1e300};
// The bin of GapBinEnds that a gap of Ms falls into.
std::size_t GapBin(double Ms);
