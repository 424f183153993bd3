#include "FineTimer.h"

#include <windows.h>
#include <timeapi.h>

// Windows ticks every 15.6 ms by default, so a 10 ms sleep lasts 15.6 ms. The resolution is the
// process's (the system's, on older versions): it is asked for while needed and given back after.
TFineTimer::TFineTimer()
{
    if (timeBeginPeriod(1) == TIMERR_NOERROR)
        FRestore = 1;
}

TFineTimer::~TFineTimer()
{
    if (FRestore != 0)
        timeEndPeriod(FRestore);
}
