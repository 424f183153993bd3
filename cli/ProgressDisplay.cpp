#include "ProgressDisplay.h"

#include <algorithm>

#include "FrameCodec.h"

namespace {

constexpr int BarWidth = 30;

std::string Clock(double Seconds)
{
    const long Whole = static_cast<long>(Seconds + 0.5);
    char Text[48];
    std::snprintf(Text, sizeof Text, "%02ld:%02ld", Whole / 60, Whole % 60);
    return Text;
}

} // namespace

std::string ProgressFigures(const TRunProgress& Run, double Seconds)
{
    const double Rate = Seconds > 0 ? Run.Blocks / Seconds : 0; // blocks a second
    char Text[128];
    std::snprintf(Text, sizeof Text, "%3d%%  %u/%u blocks  %.1f kB/s  %s elapsed  %s left", Run.Position, Run.Blocks,
                  Run.TotalBlocks, Rate * BlockDataSize / 1000, Clock(Seconds).c_str(),
                  Rate > 0 ? Clock((Run.TotalBlocks - Run.Blocks) / Rate).c_str() : "--:--");
    return Text;
}

TProgressDisplay::TProgressDisplay(std::FILE* Out, bool Terminal) : FOut(Out), FTerminal(Terminal) {}

void TProgressDisplay::Show(const std::string& Text)
{
    Finish();
    // An output whose reader went away (`| head -1`) is written no more; the job goes on.
    if (!std::ferror(FOut)) {
        std::fprintf(FOut, "%s\n", Text.c_str());
        std::fflush(FOut);
    }
    // A status text starts each run, so its figures count from here.
    FRunStart = TClock::now();
}

void TProgressDisplay::Progress(const TRunProgress& Run)
{
    if (std::ferror(FOut))
        return;
    const double Seconds = std::chrono::duration<double>(TClock::now() - FRunStart).count();
    const std::string Figures = ProgressFigures(Run, Seconds);
    if (!FTerminal) {
        std::fprintf(FOut, "%s\n", Figures.c_str());
    } else {
        const int Filled = std::clamp(Run.Position, 0, 100) * BarWidth / 100;
        std::fprintf(FOut, "\r[%s%s] %s\033[K", std::string(static_cast<size_t>(Filled), '#').c_str(),
                     std::string(static_cast<size_t>(BarWidth - Filled), '.').c_str(), Figures.c_str());
        FBarDrawn = true;
    }
    std::fflush(FOut);
}

void TProgressDisplay::Finish()
{
    if (FBarDrawn && !std::ferror(FOut))
        std::fputc('\n', FOut);
    FBarDrawn = false;
}
