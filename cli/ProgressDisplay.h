// What sw30415 prints while it works on a list of ports. A single port: each status text on a line of
// its own, and the progress of a run as a bar redrawn in place on a terminal. A list: on a terminal
// one line per port (port, stage, progress figures), redrawn in place. Not a terminal: each status
// text and progress figure on a plain line, behind its port's name in a list.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

struct TRunProgress {
    int Position = 0; // percent, as the window's bar shows it
    uint32_t Blocks = 0;
    uint32_t TotalBlocks = 0;
};

// "45%  404/896 blocks  2.6 kB/s  00:12 elapsed  00:14 left"
std::string ProgressFigures(const TRunProgress& Run, double Seconds);

// Called from every port's thread; Port: the port's place in the list.
class TJobDisplay {
public:
    TJobDisplay(std::FILE* Out, bool Terminal, std::vector<std::string> Ports, bool Single);

    void Show(size_t Port, const std::string& Text);
    void Progress(size_t Port, const TRunProgress& Run);
    // Ends a bar line, so that what follows starts on a line of its own.
    void Finish();

private:
    using TClock = std::chrono::steady_clock;

    struct TLine {
        std::string Stage;
        std::string Figures;
        TClock::time_point RunStart = TClock::now();
    };

    // A list on a terminal: one line per port, redrawn in place.
    bool Board() const { return FTerminal && !FSingle; }
    // Under FLock.
    void Redraw();
    void DrawBar(const TRunProgress& Run, const std::string& Figures);
    void EndBar();
    void Print(size_t Port, const std::string& Text);

    std::FILE* const FOut;
    const bool FTerminal;
    const std::vector<std::string> FPorts;
    const bool FSingle;
    size_t FPortWidth = 0;
    std::mutex FLock;
    std::vector<TLine> FLines; // under FLock
    bool FDrawn = false;       // under FLock: the board's lines, or one port's bar
};
