#include "RecordFile.h"

#include <thread>

bool TakeRecordLock(const std::function<bool()>& Take)
{
    const auto Limit = std::chrono::steady_clock::now() + RecordLockWait;
    while (!Take()) {
        if (std::chrono::steady_clock::now() >= Limit)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
