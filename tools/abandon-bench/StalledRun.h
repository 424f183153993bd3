// The update gives up a stalled run as the progress window's Cancel does: the worker is told to be
// idle and ends the run at its next pass.
#pragma once

#include "AbandonWays.h"
#include "arm_ser.h"

inline TAbandonWay StalledRunWay()
{
    TAbandonWay Way;
    Way.Name = "stalled run";
    Way.Abandon = [](Tarm_SER& Worker) { Worker.Abandon(); };
    return Way;
}
