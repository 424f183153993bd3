// What sw30415 prints while it works on one port: each status text on a line of its own, and the
// progress of a run, as a bar redrawn in place on a terminal or as plain lines otherwise.
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

// Where the status texts and the progress of the jobs on a list of ports go; Port: the port's place
// in the list.
class TJobDisplay {
public:
    virtual ~TJobDisplay() = default;
    virtual void Show(size_t Port, const std::string& Text) = 0;
    virtual void Progress(size_t Port, const TRunProgress& Run) = 0;
};

// The one port's.
class TProgressDisplay : public TJobDisplay {
public:
    TProgressDisplay(std::FILE* Out, bool Terminal);

    void Show(size_t Port, const std::string& Text) override;
    void Progress(size_t Port, const TRunProgress& Run) override;
    // Ends a bar line, so that what follows starts on a line of its own.
    void Finish();

private:
    using TClock = std::chrono::steady_clock;

    std::FILE* const FOut;
    const bool FTerminal;
    bool FBarDrawn = false;
    TClock::time_point FRunStart = TClock::now();
};

// "45%  404/896 blocks  2.6 kB/s  00:12 elapsed  00:14 left"
std::string ProgressFigures(const TRunProgress& Run, double Seconds);

// What sw30415 prints while it updates several ports at once: on a terminal one line per port
// (port, stage, percent, rate), redrawn in place; otherwise each status text and progress figure on
// a plain line of its own, prefixed with its port. Called from every port's thread.
class TUpdateBoard : public TJobDisplay {
public:
    TUpdateBoard(std::FILE* Out, bool Terminal, std::vector<std::string> Ports);

    void Show(size_t Port, const std::string& Text) override;
    void Progress(size_t Port, const TRunProgress& Run) override;

private:
    using TClock = std::chrono::steady_clock;

    struct TLine {
        std::string Stage;
        std::string Figures;
        TClock::time_point RunStart = TClock::now();
    };

    // Under FLock.
    void Redraw();
    void Print(size_t Port, const std::string& Text);

    std::FILE* const FOut;
    const bool FTerminal;
    const std::vector<std::string> FPorts;
    size_t FPortWidth = 0;
    std::mutex FLock;
    std::vector<TLine> FLines; // under FLock
    bool FDrawn = false;       // under FLock
};
