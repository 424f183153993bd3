#include "ProgressDisplay.h"

#include <algorithm>

#include "FrameCodec.h"

namespace {

constexpr int BarWidth = 30;
// Wide enough for every status text of the update.
constexpr int StageWidth = 24;

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

TJobDisplay::TJobDisplay(std::FILE* Out, bool Terminal, std::vector<std::string> Ports, bool Single)
    : FOut(Out), FTerminal(Terminal), FPorts(std::move(Ports)), FSingle(Single),
      FLines(FPorts.size())
{
    for (const std::string& Port : FPorts)
        FPortWidth = std::max(FPortWidth, Port.size());
}

void TJobDisplay::Show(size_t Port, const std::string& Text)
{
    const std::lock_guard<std::mutex> Hold(FLock);
    TLine& Line = FLines[Port];
    Line.Stage = Text;
    Line.Figures.clear();
    // A status text starts each run, so its figures count from here.
    Line.RunStart = TClock::now();
    if (Board()) {
        Redraw();
        return;
    }
    EndBar();
    Print(Port, Text);
}

void TJobDisplay::Progress(size_t Port, const TRunProgress& Run)
{
    const std::lock_guard<std::mutex> Hold(FLock);
    TLine& Line = FLines[Port];
    Line.Figures = ProgressFigures(Run, std::chrono::duration<double>(TClock::now() - Line.RunStart).count());
    if (Board())
        Redraw();
    else if (FTerminal)
        DrawBar(Run, Line.Figures);
    else
        Print(Port, Line.Figures);
}

void TJobDisplay::Finish()
{
    const std::lock_guard<std::mutex> Hold(FLock);
    EndBar();
}

// An output whose reader went away (`| head -1`) is written no more; the jobs go on.
void TJobDisplay::Redraw()
{
    if (std::ferror(FOut))
        return;
    if (FDrawn)
        std::fprintf(FOut, "\033[%zuA", FLines.size());
    for (size_t Port = 0; Port < FLines.size(); ++Port)
        std::fprintf(FOut, "\r%-*s  %-*s  %s\033[K\n", static_cast<int>(FPortWidth), FPorts[Port].c_str(), StageWidth,
                     FLines[Port].Stage.c_str(), FLines[Port].Figures.c_str());
    FDrawn = true;
    std::fflush(FOut);
}

void TJobDisplay::DrawBar(const TRunProgress& Run, const std::string& Figures)
{
    if (std::ferror(FOut))
        return;
    const int Filled = std::clamp(Run.Position, 0, 100) * BarWidth / 100;
    std::fprintf(FOut, "\r[%s%s] %s\033[K", std::string(static_cast<size_t>(Filled), '#').c_str(),
                 std::string(static_cast<size_t>(BarWidth - Filled), '.').c_str(), Figures.c_str());
    FDrawn = true;
    std::fflush(FOut);
}

void TJobDisplay::EndBar()
{
    // The board's lines stay drawn, to be redrawn in place.
    if (Board() || !FDrawn)
        return;
    if (!std::ferror(FOut))
        std::fputc('\n', FOut);
    FDrawn = false;
}

void TJobDisplay::Print(size_t Port, const std::string& Text)
{
    if (std::ferror(FOut))
        return;
    if (!FSingle)
        std::fprintf(FOut, "%s: ", FPorts[Port].c_str());
    std::fprintf(FOut, "%s\n", Text.c_str());
    std::fflush(FOut);
}
