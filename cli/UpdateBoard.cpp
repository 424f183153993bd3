#include "UpdateBoard.h"

#include <algorithm>

namespace {

// Wide enough for every status text of the update.
constexpr int StageWidth = 24;

} // namespace

TUpdateBoard::TUpdateBoard(std::FILE* Out, bool Terminal, std::vector<std::string> Ports)
    : FOut(Out), FTerminal(Terminal), FPorts(std::move(Ports)), FLines(FPorts.size())
{
    for (const std::string& Port : FPorts)
        FPortWidth = std::max(FPortWidth, Port.size());
}

void TUpdateBoard::Show(size_t Port, const std::string& Text)
{
    const std::lock_guard<std::mutex> Hold(FLock);
    TLine& Line = FLines[Port];
    Line.Stage = Text;
    Line.Figures.clear();
    // A status text starts each run, so its figures count from here.
    Line.RunStart = TClock::now();
    if (FTerminal)
        Redraw();
    else
        Print(Port, Text);
}

void TUpdateBoard::Progress(size_t Port, const TRunProgress& Run)
{
    const std::lock_guard<std::mutex> Hold(FLock);
    TLine& Line = FLines[Port];
    Line.Figures = ProgressFigures(Run, std::chrono::duration<double>(TClock::now() - Line.RunStart).count());
    if (FTerminal)
        Redraw();
    else
        Print(Port, Line.Figures);
}

void TUpdateBoard::Redraw()
{
    // An output whose reader went away is written no more; the jobs go on.
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

void TUpdateBoard::Print(size_t Port, const std::string& Text)
{
    if (std::ferror(FOut))
        return;
    std::fprintf(FOut, "%s: %s\n", FPorts[Port].c_str(), Text.c_str());
    std::fflush(FOut);
}
