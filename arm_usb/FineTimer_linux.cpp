#include "FineTimer.h"

#include <sys/prctl.h>

// Linux lets a sleep of the calling thread run up to 50 us long by default; seven 10 ms pauses a
// block add that up. The slack is the thread's own, so the object lives on the sleeping thread.
TFineTimer::TFineTimer()
{
    const int Slack = prctl(PR_GET_TIMERSLACK, 0UL, 0UL, 0UL, 0UL);
    FRestore = Slack > 0 ? static_cast<unsigned long>(Slack) : 0;
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

// A slack of 0 sets the thread back to its default.
TFineTimer::~TFineTimer() { prctl(PR_SET_TIMERSLACK, FRestore, 0UL, 0UL, 0UL); }
