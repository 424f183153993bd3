// worker-bench: a full firmware write run and read-back run against the simulator with its line
// paced at 115200 baud, each next to the time the line alone needs, and the processor share of a
// connected worker that has nothing to do.
// Usage: worker-bench [idle seconds, default 10]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "ProcessFigures.h"
#include "SimulatedLink.h"
#include "TestFiles.h"
#include "WaitUntil.h"

namespace {

using TClock = std::chrono::steady_clock;
constexpr double CharsPerSecond = 11520.0; // 115200 baud, 10 bits a character
constexpr int Blocks = FirmwareAreaSize / BlockDataSize;
constexpr auto RunBound = std::chrono::minutes(5);

// Runs the armed operation to its end; the seconds it took, or a negative value when it stalled.
double TimeRun(Tarm_SER& Worker, int Armed)
{
    if (Armed != srArmed)
        return -1;
    const auto Start = TClock::now();
    if (!WaitUntil([&] { return Worker.Idle(); }, RunBound))
        return -1;
    return std::chrono::duration<double>(TClock::now() - Start).count();
}

void Report(const char* Name, double Seconds, int CharsPerBlock, bool Error)
{
    const double LineSeconds = Blocks * CharsPerBlock / CharsPerSecond;
    std::printf("%-10s %8.2f s   line bound %d x %d chars = %.2f s   ratio %.2f%s\n", Name, Seconds, Blocks,
                CharsPerBlock, LineSeconds, Seconds / LineSeconds, Error ? "   (the worker failed the run)" : "");
}

} // namespace

int main(int argc, char** argv)
{
    const double IdleSeconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    const TTempFolder Dir("worker-bench");
    const auto Image = Dir.Path() / "image.sim";
    const auto ReadBack = Dir.Path() / "image.b79";
    SaveFile(Image, Pattern(FirmwareAreaSize, 30));

    TSimulatedLink Link(PacedAt(115200));
    if (!Link.Opened(std::chrono::seconds(5)))
        return 1;
    Tarm_SER& Worker = Link.Worker;

    uint32_t Size = 0;
    const double WriteSeconds = TimeRun(Worker, Worker.StartFirmwareWrite(Image.string(), false, Size));
    const bool WriteError = Worker.Failed();
    const double ReadSeconds = TimeRun(Worker, Worker.StartFirmwareRead(ReadBack.string(), false, Size));
    const bool ReadError = Worker.Failed();
    if (WriteSeconds < 0 || ReadSeconds < 0) {
        std::fprintf(stderr, "a run did not finish within %lld s\n",
                     static_cast<long long>(std::chrono::seconds(RunBound).count()));
        return 1;
    }
    Report("write run", WriteSeconds, 2 * BlockDataSize + 17, WriteError);
    Report("read run", ReadSeconds, 15 + ReadReplyThreshold, ReadError);
    std::printf("read-back %s the image\n", LoadFile(Image) == LoadFile(ReadBack) ? "equals" : "DIFFERS FROM");

    const double CpuBefore = CpuSeconds();
    const auto WallBefore = TClock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(IdleSeconds));
    const double Cpu = CpuSeconds() - CpuBefore;
    const double Wall = std::chrono::duration<double>(TClock::now() - WallBefore).count();
    std::printf("idle       %.3f s of processor time in %.2f s: %.2f%% of one core (whole process)\n", Cpu, Wall,
                100.0 * Cpu / Wall);
    return 0;
}
