#include "RecordFile.h"

#include <cstdio>
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

std::string UtcText(std::chrono::system_clock::time_point Time)
{
    using namespace std::chrono;
    const auto Milliseconds = floor<milliseconds>(Time);
    const auto Day = floor<days>(Milliseconds);
    const year_month_day Date(Day);
    const hh_mm_ss Clock(Milliseconds - Day);
    char Text[32];
    std::snprintf(Text, sizeof Text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(Date.year()),
                  static_cast<unsigned>(Date.month()), static_cast<unsigned>(Date.day()),
                  static_cast<int>(Clock.hours().count()), static_cast<int>(Clock.minutes().count()),
                  static_cast<int>(Clock.seconds().count()), static_cast<int>(Clock.subseconds().count()));
    return Text;
}
