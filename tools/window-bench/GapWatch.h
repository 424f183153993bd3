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
};

// Every gap between the ticks, with the text Status showed at the tick that ended it.
class TGapWatch {
public:
    static constexpr int TickMs = 10;

    explicit TGapWatch(const QLabel& Status);
    void Start();
    // The gap up to the end counts too: the loop may have been held at the last.
    void Stop();
    const std::vector<TGap>& Gaps() const { return FGaps; }

private:
    using TClock = std::chrono::steady_clock;
    void Tick();

    const QLabel& FStatus;
    QTimer FTimer;
    TClock::time_point FStart, FLast;
    std::vector<TGap> FGaps;
};

// A gap at least this long holds one of the window's fixed waits (250, 300 or 700 ms).
inline constexpr double FixedWaitMs = 240;
// The upper ends of the histogram's bins; each bin holds the gaps from the bound before up to, not
// including, its own. The last takes every longer gap.
inline constexpr std::array<double, 9> GapBinEnds{12, 15, 20, 30, 50, 100, FixedWaitMs, 700, 1e300};
// The bin of GapBinEnds that a gap of Ms falls into.
std::size_t GapBin(double Ms);
