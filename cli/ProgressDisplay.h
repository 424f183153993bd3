// What sw30415 prints while it works: each status text on a line of its own, and the progress of a
// run, as a bar redrawn in place on a terminal or as plain lines otherwise.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

struct TRunProgress {
    int Position = 0; // percent, as the window's bar shows it
    uint32_t Blocks = 0;
    uint32_t TotalBlocks = 0;
};

class TProgressDisplay {
public:
    TProgressDisplay(std::FILE* Out, bool Terminal);

    void Show(const std::string& Text);
    void Progress(const TRunProgress& Run);
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
