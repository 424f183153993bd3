// worker-bench: a full firmware write run and read-back run against the simulator with its line
// paced at 115200 baud, each next to the time the line alone needs, and the processor share of a
// connected worker that has nothing to do.
// Usage: worker-bench [idle seconds, default 10]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <thread>
#include <vector>

#include <unistd.h>

#include "DeviceSimulator.h"
#include "WaitUntil.h"
#include "arm_ser.h"

namespace {

using TClock = std::chrono::steady_clock;
constexpr double CharsPerSecond = 11520.0; // 115200 baud, 10 bits a character
constexpr int Blocks = FirmwareAreaSize / BlockDataSize;
constexpr auto RunBound = std::chrono::minutes(5);

double ProcessCpuSeconds()
{
    timespec Now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &Now);
    return static_cast<double>(Now.tv_sec) + static_cast<double>(Now.tv_nsec) / 1e9;
}

std::vector<char> ReadAll(const std::filesystem::path& Path)
{
    std::ifstream In(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), {}};
}

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
    const auto Dir = std::filesystem::temp_directory_path() / ("worker-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(Dir);
    const auto Image = Dir / "image.sim";
    const auto ReadBack = Dir / "image.b79";
    {
        std::vector<char> Bytes(FirmwareAreaSize);
        std::mt19937 Random(30415);
        for (char& Byte : Bytes)
            Byte = static_cast<char>(Random());
        std::ofstream(Image, std::ios::binary).write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    }

    TSimSettings Settings;
    Settings.Baud = 115200;
    TDeviceSimulator Sim(Settings);
    Sim.Start();
    Tarm_SER Worker(true);
    Worker.SetPortName(Sim.PortPath());
    Worker.Resume();
    if (!Worker.AwaitOpen(std::chrono::seconds(5))) {
        std::fprintf(stderr, "the worker could not open %s\n", Sim.PortPath().c_str());
        return 1;
    }

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
    std::printf("read-back %s the image\n", ReadAll(Image) == ReadAll(ReadBack) ? "equals" : "DIFFERS FROM");

    const double CpuBefore = ProcessCpuSeconds();
    const auto WallBefore = TClock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(IdleSeconds));
    const double Cpu = ProcessCpuSeconds() - CpuBefore;
    const double Wall = std::chrono::duration<double>(TClock::now() - WallBefore).count();
    std::printf("idle       %.3f s of processor time in %.2f s: %.2f%% of one core (whole process)\n", Cpu, Wall,
                100.0 * Cpu / Wall);

    Worker.CloseLink();
    Worker.TerminateAndWait();
    std::filesystem::remove_all(Dir);
    return 0;
}
