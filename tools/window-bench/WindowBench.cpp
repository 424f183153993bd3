// window-bench: the main window connected, through its own port list and New button, to a
// simulator in a process of its own (so that the simulator's work does not count):
// - the window process's processor share over an idle spell with its message loop running;
// - a full update through the firmware group with a 10 ms timer on the window's message loop: the
//   longest gap between its ticks and the gaps' histogram show how long the loop was held. Only the
//   window's fixed waits (the 250 ms boot reply wait during an update) may hold it longer than a poll;
// - the process's processor share during the update and its peak resident memory.
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
// Usage: window-bench PORT IMAGE [idle seconds, default 10]
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/resource.h>

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <QtTest/QTest>

#include "FirmwareUpdate.h"
#include "GapWatch.h"
#include "LbButton.h"
#include "ProcessFigures.h"
#include "SynchronizeHook.h"
#include "Unit1.h"

namespace {

using TClock = std::chrono::steady_clock;
// Gaps from this long on are listed one by one.
constexpr double LongGapMs = 50;

// The processor time of the whole process and of the window's thread (the calling one).
struct TCpu {
    double Process = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    double Window = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
};

void ReportShare(const char* What, const TCpu& Before, double WallSeconds)
{
    const TCpu After;
    const double Process = After.Process - Before.Process;
    const double Window = After.Window - Before.Window;
    std::printf("%-10s %.3f s of processor time in %.2f s: %.2f%% of one core (whole process), the window's "
                "thread %.2f%%, the other threads %.2f%%\n",
                What, Process, WallSeconds, 100 * Process / WallSeconds, 100 * Window / WallSeconds,
                100 * (Process - Window) / WallSeconds);
}

// Lets the window's message loop run for Seconds.
void RunMessageLoop(double Seconds)
{
    QEventLoop Loop;
    // A coarse timer may end the spell up to 5 % early.
    QTimer::singleShot(static_cast<int>(Seconds * 1000), Qt::PreciseTimer, &Loop, &QEventLoop::quit);
    Loop.exec();
}

void ReportGaps(const std::vector<TGap>& Gaps)
{
    std::array<int, GapBinEnds.size()> Counts{};
    for (const TGap& Gap : Gaps)
        ++Counts[GapBin(Gap.Ms)];
    std::printf("gaps between 10 ms ticks: %zu\n", Gaps.size());
    double Low = 0;
    for (size_t I = 0; I < GapBinEnds.size(); ++I) {
        if (I + 1 < GapBinEnds.size())
            std::printf("  %6.0f - %4.0f ms: %d\n", Low, GapBinEnds[I], Counts[I]);
        else
            std::printf("  %6.0f ms and over: %d\n", Low, Counts[I]);
        Low = GapBinEnds[I];
    }
    const auto Longest = std::max_element(Gaps.begin(), Gaps.end(),
                                          [](const TGap& A, const TGap& B) { return A.Ms < B.Ms; });
    std::printf("longest gap: %.1f ms, ending %.0f ms into the update on \"%s\"\n", Longest->Ms, Longest->AtMs,
                Longest->Status.toStdString().c_str());
    double LongestOther = 0;
    int Fixed = 0;
    for (const TGap& Gap : Gaps) {
        if (Gap.Ms >= FixedWaitMs)
            ++Fixed;
        else
            LongestOther = std::max(LongestOther, Gap.Ms);
        if (Gap.Ms >= LongGapMs)
            std::printf("%s: %.1f ms (%.1f ms of it waiting for a processor), ending %.0f ms into the update on "
                        "\"%s\"\n",
                        Gap.Ms >= FixedWaitMs ? "gap holding a fixed wait" : "long gap", Gap.Ms, Gap.WaitingMs,
                        Gap.AtMs, Gap.Status.toStdString().c_str());
    }
    std::printf("longest gap apart from the fixed waits: %.1f ms (gaps holding a fixed wait: %d)\n", LongestOther, Fixed);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "Usage: window-bench PORT IMAGE [idle seconds, default 10]\n");
        return 2;
    }
    const std::string Port = argv[1];
    const std::string Image = argv[2];
    const double IdleSeconds = argc > 3 ? std::atof(argv[3]) : 10.0;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication Application(argc, argv);
    InstallWakeMainThread();

    SerialPortSource = [Port] { return std::vector<std::string>{Port}; };
    TFUpdate Window;
    FUpdate = &Window;
    Window.show();
    QTest::mouseClick(Window.New, Qt::LeftButton);
    if (Window.Label1->text() != "Initialized") {
        std::fprintf(stderr, "the window could not connect to %s: \"%s\"\n", Port.c_str(),
                     Window.Label1->text().toStdString().c_str());
        return 1;
    }

    const TCpu Idle;
    const auto IdleStart = TClock::now();
    RunMessageLoop(IdleSeconds);
    ReportShare("idle", Idle, std::chrono::duration<double>(TClock::now() - IdleStart).count());

    Window.FirmwareUpdate()->SetImageFile(Image);
    TGapWatch Watch(*Window.Label22);
    const TCpu Run;
    const auto RunStart = TClock::now();
    Watch.Start();
    QTest::mouseClick(Window.LbButton2, Qt::LeftButton);
    Watch.Stop();
    const double RunWall = std::chrono::duration<double>(TClock::now() - RunStart).count();
    const QString Outcome = Window.Label22->text();
    std::printf("update     \"%s\" in %.2f s\n", Outcome.toStdString().c_str(), RunWall);
    ReportShare("update", Run, RunWall);
    ReportGaps(Watch.Gaps());
    rusage Usage{};
    getrusage(RUSAGE_SELF, &Usage);
    std::printf("peak resident memory of the window process: %.1f MB\n", Usage.ru_maxrss / 1024.0);

    Window.close();
    return Outcome == "Update Done" ? 0 : 1;
}
