// The worker's fine timer on Linux: the thread's timer slack while it lives, the old one after.
#include "FineTimer.h"

#include <gtest/gtest.h>

#include <optional>

#include <sys/prctl.h>

namespace {

int OwnSlack() { return prctl(PR_GET_TIMERSLACK, 0UL, 0UL, 0UL, 0UL); }

TEST(FineTimer, NarrowsTheThreadsSlackWhileItLivesAndRestoresIt)
{
    // Not the default of 50 us, so that a timer that merely resets the slack is caught.
    ASSERT_EQ(prctl(PR_SET_TIMERSLACK, 20000UL, 0UL, 0UL, 0UL), 0);
    std::optional<TFineTimer> Timer(std::in_place);
    EXPECT_EQ(OwnSlack(), 1);
    Timer.reset();
    EXPECT_EQ(OwnSlack(), 20000);
}

} // namespace
