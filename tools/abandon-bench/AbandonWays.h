// The ways a window gives up a run, each timed by abandon-bench.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class Tarm_SER;

struct TAbandonWay {
    std::string Name;
    // Called once the run carries blocks: what the window shows while it goes.
    std::function<void(Tarm_SER&)> Watch = [](Tarm_SER&) {};
    // Gives the run up and returns; the figures are timed from this call.
    std::function<void(Tarm_SER&)> Abandon;
    // Called once the figures are taken: lets the window finish with the run.
    std::function<void()> Settle = [] {};
};

// The update's own give-up of a stalled run, and the ways this build has besides, with what they
// need (the application and the progress window) for as long as this lives.
class TAbandonWays {
public:
    TAbandonWays(int& argc, char** argv);
    ~TAbandonWays();
    const std::vector<TAbandonWay>& Ways() const { return FWays; }

private:
    struct TWindows;
    std::unique_ptr<TWindows> FWindows;
    std::vector<TAbandonWay> FWays;
};
