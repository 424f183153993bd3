// soak-worker: N consecutive full updates (write, read-back, compare) through one connected worker
// on PORT (an sw30415-sim of its own process, so that the simulator's request log does not count
// here); prints the process's open descriptors, threads and resident memory before the first and
// after each update. Exits 1 when an update fails.
// Usage: soak-worker PORT [updates, default 50]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include <unistd.h>

#include "FirmwareUpdate.h"
#include "TickTimer.h"
#include "arm_ser.h"

namespace {

struct TFigures {
    long Descriptors = 0;
    long Threads = 0;
    long ResidentKb = 0;
};

TFigures Measure()
{
    TFigures Figures;
    for (auto It = std::filesystem::directory_iterator("/proc/self/fd"); It != decltype(It)(); ++It)
        ++Figures.Descriptors;
    for (auto It = std::filesystem::directory_iterator("/proc/self/task"); It != decltype(It)(); ++It)
        ++Figures.Threads;
    std::ifstream Status("/proc/self/status");
    for (std::string Line; std::getline(Status, Line);)
        if (Line.starts_with("VmRSS:"))
            Figures.ResidentKb = std::atol(Line.c_str() + 6);
    return Figures;
}

void Print(const char* When, const TFigures& F)
{
    std::printf("%-12s descriptors %ld  threads %ld  resident %ld kB\n", When, F.Descriptors, F.Threads, F.ResidentKb);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "Usage: soak-worker PORT [updates]\n");
        return 2;
    }
    const int Updates = argc > 2 ? std::max(1, std::atoi(argv[2])) : 50;
    const auto Dir = std::filesystem::temp_directory_path() / ("soak-worker-" + std::to_string(getpid()));
    std::filesystem::create_directories(Dir);
    const auto Image = Dir / "image.sim";
    {
        std::string Bytes(FirmwareAreaSize, '\0');
        std::mt19937 Random(11);
        for (char& Byte : Bytes)
            Byte = static_cast<char>(Random());
        std::ofstream(Image, std::ios::binary) << Bytes;
    }
    Tarm_SER Worker(true);
    Worker.SetPortName(argv[1]);
    Worker.Resume();
    if (!Worker.AwaitOpen(std::chrono::seconds(5))) {
        std::fprintf(stderr, "the worker could not open %s\n", argv[1]);
        return 1;
    }

    std::unique_ptr<TFirmwareUpdate> Job;
    TTickTimer Timer(std::chrono::milliseconds(500), [&] { Job->T_AutoTimer(); });
    TUpdateHooks Hooks;
    Hooks.Show = [](const std::string&) {};
    Hooks.ProcessMessages = [&] { Timer.Poll(); };
    Hooks.StartTimer = [&] { Timer.Start(); };
    Hooks.StopTimer = [&] { Timer.Stop(); };
    Hooks.SetProgress = [](int) {};
    Job = std::make_unique<TFirmwareUpdate>(Worker, Hooks);
    Job->SetImageFile(Image.string());

    Print("before", Measure());
    int Status = 0;
    for (int I = 1; I <= Updates; ++I) {
        const auto Start = std::chrono::steady_clock::now();
        const TUpdateOutcome Outcome = Job->Run();
        const double Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
        char When[32];
        std::snprintf(When, sizeof When, "update %d", I);
        std::printf("%s: %s in %.1f s; ", When, Outcome == TUpdateOutcome::Done ? "Update Done" : "FAILED", Seconds);
        Print("", Measure());
        if (Outcome != TUpdateOutcome::Done) {
            Status = 1;
            break;
        }
    }
    Job.reset();
    Worker.CloseLink();
    Worker.TerminateAndWait();
    std::filesystem::remove_all(Dir);
    return Status;
}
