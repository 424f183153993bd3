#include "AppendLine.h"

#include <thread>

bool TakeAppendLock(const std::function<bool()>& Take)
{
    const auto Limit = std::chrono::steady_clock::now() + AppendLockWait;
    while (!Take()) {
        if (std::chrono::steady_clock::now() >= Limit)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
