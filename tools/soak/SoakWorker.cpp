// soak-worker: N consecutive full updates (write, read-back, compare) through one connected worker
// on PORT (an sw30415-sim of its own process, so that the simulator's request log does not count
// here); prints the process's open descriptors, threads and resident memory before the first and
// after each update. Exits 1 when an update fails.
// Usage: soak-worker PORT [updates, default 50]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "FirmwareUpdate.h"
#include "ProcessFigures.h"
#include "TestFiles.h"
#include "TickTimer.h"
#include "arm_ser.h"

namespace {

struct TFigures {
    size_t Descriptors = 0;
    size_t Threads = 0;
    long ResidentKb = 0;
};

TFigures Measure()
{
    TFigures Figures{OpenDescriptors(), ProcessThreads(), 0};
    std::ifstream Status("/proc/self/status");
    for (std::string Line; std::getline(Status, Line);)
        if (Line.starts_with("VmRSS:"))
            Figures.ResidentKb = std::atol(Line.c_str() + 6);
    return Figures;
}

void Print(const char* When, const TFigures& F)
{
    std::printf("%-12s descriptors %zu  threads %zu  resident %ld kB\n", When, F.Descriptors, F.Threads, F.ResidentKb);
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
    const TTempFolder Dir("soak-worker");
    const auto Image = Dir.Path() / "image.sim";
    SaveFile(Image, Pattern(FirmwareAreaSize, 11));
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
    return Status;
}
