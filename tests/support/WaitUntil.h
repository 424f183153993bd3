// Waiting for another thread without a fixed sleep.
#pragma once

#include <chrono>
#include <thread>

// Polls Condition until it holds or Bound passes; for waiting on other threads without a fixed sleep.
template <class TCondition>
bool WaitUntil(TCondition Condition, std::chrono::milliseconds Bound = std::chrono::seconds(10))
{
    const auto End = std::chrono::steady_clock::now() + Bound;
    while (!Condition()) {
        if (std::chrono::steady_clock::now() >= End)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
