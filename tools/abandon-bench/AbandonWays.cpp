// Without windows only the update's own give-up is there to time.
#include "AbandonWays.h"

#include "StalledRun.h"

struct TAbandonWays::TWindows {};

TAbandonWays::TAbandonWays(int&, char**) : FWays{StalledRunWay()} {}

TAbandonWays::~TAbandonWays() = default;
