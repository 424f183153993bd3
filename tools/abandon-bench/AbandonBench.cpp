// abandon-bench: how soon a connected worker takes the next start operation after a window gave up
// a run (a stall, or the progress window's Cancel), against the simulator at 115200 baud. The run is
// abandoned at a different point of its block each time; the figure is the time from the abandon
// until a protection read is armed, and until that read has its answer.
// Usage: abandon-bench [trials per run kind, default 10]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "AbandonWays.h"
#include "SimulatedLink.h"
#include "TestFiles.h"
#include "WaitUntil.h"

namespace {

using TClock = std::chrono::steady_clock;
using TMs = std::chrono::duration<double, std::milli>;
constexpr auto Bound = std::chrono::seconds(30);

// A short poll pause: it is part of each figure.
template <class TCondition>
bool WaitFor(TCondition Condition)
{
    return WaitUntil(Condition, Bound, std::chrono::microseconds(100));
}

struct TTrial {
    double Armed;    // ms from the abandon to srArmed
    double Answered; // ms from the abandon to the read's answer
};

// Starts a run, lets it carry a few blocks, abandons it Offset into a block, then arms a protection read.
bool Trial(Tarm_SER& Worker, const TAbandonWay& Way, bool Write, std::chrono::microseconds Offset, TTrial& Result)
{
    uint32_t Size = 0;
    // The read-back file is created exclusively: the last trial's must go first.
    std::filesystem::remove("readback.b79");
    const int Armed =
        Write ? Worker.StartFirmwareWrite("image.sim", false, Size) : Worker.StartFirmwareRead("readback.b79", false, 0);
    if (Armed != srArmed || !WaitFor([&] { return Worker.BlockCount() >= 3; }))
        return false;
    Way.Watch(Worker);
    std::this_thread::sleep_for(Offset);
    const auto Abandoned = TClock::now();
    Way.Abandon(Worker);
    if (!WaitFor([&] { return Worker.StartProtectionRead() == srArmed; }))
        return false;
    Result.Armed = TMs(TClock::now() - Abandoned).count();
    if (!WaitFor([&] { return Worker.Done(); }))
        return false;
    Result.Answered = TMs(TClock::now() - Abandoned).count();
    Way.Settle();
    return true;
}

void Report(const std::string& Name, std::vector<TTrial> Trials)
{
    const auto Line = [&](const char* What, double TTrial::*Field) {
        std::vector<double> Ms;
        for (const TTrial& T : Trials)
            Ms.push_back(T.*Field);
        std::sort(Ms.begin(), Ms.end());
        std::printf("%s %s: median %.1f ms, max %.1f ms (%zu trials)\n", Name.c_str(), What, Ms[Ms.size() / 2], Ms.back(),
                    Ms.size());
    };
    Line("armed", &TTrial::Armed);
    Line("answered", &TTrial::Answered);
}

} // namespace

int main(int argc, char** argv)
{
    const TAbandonWays Ways(argc, argv);
    const int Trials = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const TTempFolder Dir("abandon-bench");
    std::filesystem::current_path(Dir.Path());
    std::ofstream("image.sim", std::ios::binary) << std::string(FirmwareAreaSize, '\x5A');

    TSimulatedLink Link(PacedAt(115200));
    if (!Link.Opened(std::chrono::seconds(5)))
        return 1;
    Tarm_SER& Worker = Link.Worker;
    int Status = 0;
    for (const TAbandonWay& Way : Ways.Ways()) {
        for (const bool Write : {true, false}) {
            const std::string Run = Write ? "write run" : "read run";
            std::vector<TTrial> Results;
            for (int I = 0; I < Trials; ++I) {
                TTrial Result{};
                // Spread over one block's exchange (about 70 ms), so every wait of the codec is hit.
                if (!Trial(Worker, Way, Write, std::chrono::microseconds(I * 70'000 / Trials), Result)) {
                    std::fprintf(stderr, "%s: trial %d of the %s failed to start or to finish within %lld s\n",
                                 Way.Name.c_str(), I + 1, Run.c_str(), static_cast<long long>(Bound.count()));
                    Status = 1;
                    break;
                }
                Results.push_back(Result);
            }
            if (!Results.empty())
                Report(Way.Name + ": " + Run + " abandoned, protection read", Results);
        }
    }
    std::filesystem::current_path("/");
    return Status;
}
