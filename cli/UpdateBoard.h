// What sw30415 prints while it updates several ports at once: on a terminal one line per port
// (port, stage, percent, rate), redrawn in place; otherwise each status text and progress figure on
// a plain line of its own, prefixed with its port. Called from every port's thread.
#pragma once

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "ProgressDisplay.h"

class TUpdateBoard {
public:
    TUpdateBoard(std::FILE* Out, bool Terminal, std::vector<std::string> Ports);

    void Show(size_t Port, const std::string& Text);
    void Progress(size_t Port, const TRunProgress& Run);

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
