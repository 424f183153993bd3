// Waiting for another thread without a fixed sleep.
#pragma once

#include <chrono>
#include <thread>

// Polls Condition every Pause until it holds or Bound passes; for waiting on other threads without
// a fixed sleep. A bench that times the wait asks for a short Pause, so that the poll adds little.
template <class TCondition>
bool WaitUntil(TCondition Condition, std::chrono::milliseconds Bound = std::chrono::seconds(10),
               std::chrono::microseconds Pause = std::chrono::milliseconds(1))
{
    const auto End = std::chrono::steady_clock::now() + Bound;
    while (!Condition()) {
        if (std::chrono::steady_clock::now() >= End)
            return false;
        std::this_thread::sleep_for(Pause);
    }
    return true;
}
