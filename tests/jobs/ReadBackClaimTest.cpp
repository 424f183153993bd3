// The read-back names of the updates of one process.
#include "ReadBackClaim.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

TEST(ReadBackClaim, TakesTheNameWhenFreeElseTheFirstFreeNumber)
{
    std::optional<TReadBackClaim> First(std::in_place, "/tmp/x/image2026.b79");
    EXPECT_EQ(First->Path(), "/tmp/x/image2026.b79");
    const TReadBackClaim Second("/tmp/x/image2026.b79");
    EXPECT_EQ(Second.Path(), "/tmp/x/image2026-2.b79");
    const TReadBackClaim Third("/tmp/x/image2026.b79");
    EXPECT_EQ(Third.Path(), "/tmp/x/image2026-3.b79");
    First.reset();
    const TReadBackClaim Again("/tmp/x/image2026.b79");
    EXPECT_EQ(Again.Path(), "/tmp/x/image2026.b79");
    const TReadBackClaim Other("/tmp/x/other.b79");
    EXPECT_EQ(Other.Path(), "/tmp/x/other.b79");
}

} // namespace
