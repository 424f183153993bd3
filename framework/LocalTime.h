// The local date and time to the millisecond, as a program names files by it.
#pragma once

struct TLocalTime {
    int Year = 0;
    int Month = 0; // 1 to 12
    int Day = 0;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Millisecond = 0;
};

TLocalTime LocalNow();
