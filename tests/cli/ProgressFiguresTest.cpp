// The figures beside sw30415's progress bar.
#include <gtest/gtest.h>

#include "ProgressDisplay.h"

namespace {

struct TFiguresCase {
    const char* Name;
    TRunProgress Run;
    double Seconds;
    const char* Expected;
};
void PrintTo(const TFiguresCase& Case, std::ostream* Out) { *Out << Case.Name; }

class ProgressFiguresTable : public testing::TestWithParam<TFiguresCase> {};

TEST_P(ProgressFiguresTable, ShowPercentBlocksRateElapsedAndTimeLeft)
{
    EXPECT_EQ(ProgressFigures(GetParam().Run, GetParam().Seconds), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProgressFiguresTable,
    testing::Values(
        // 404 blocks in 12 s: 33.7 blocks or 4.3 kB a second; 492 blocks left take 14.6 s.
        TFiguresCase{"MidRun", {45, 404, 896}, 12.0, " 45%  404/896 blocks  4.3 kB/s  00:12 elapsed  00:15 left"},
        TFiguresCase{"NothingDoneYet", {0, 0, 896}, 0.5, "  0%  0/896 blocks  0.0 kB/s  00:01 elapsed  --:-- left"},
        TFiguresCase{"Done", {100, 8, 8}, 75.0, "100%  8/8 blocks  0.0 kB/s  01:15 elapsed  00:00 left"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

} // namespace
