// A repeating timer for a program without an event loop: whoever processes its "messages" calls
// Poll, which runs the handler once the interval has passed. Stands in for the window's T_Auto.
#pragma once

#include <chrono>
#include <functional>

class TTickTimer {
public:
    using TClock = std::chrono::steady_clock;

    TTickTimer(std::chrono::milliseconds Interval, std::function<void()> OnTimer)
        : FInterval(Interval), FOnTimer(std::move(OnTimer))
    {
    }

    void Start()
    {
        FEnabled = true;
        FDue = TClock::now() + FInterval;
    }
    void Stop() { FEnabled = false; }

    void Poll()
    {
        if (!FEnabled || TClock::now() < FDue)
            return;
        // Due again before the handler runs, so that a handler which polls does not run twice; ticks
        // missed during a long pause are not made up, as with a window's timer.
        FDue = TClock::now() + FInterval;
        FOnTimer();
    }

private:
    const std::chrono::milliseconds FInterval;
    const std::function<void()> FOnTimer;
    bool FEnabled = false;
    TClock::time_point FDue{};
};
