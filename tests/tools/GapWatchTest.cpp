#include "GapWatch.h"
#include "QtTestSupport.h"

#include <QLabel>

#include <algorithm>
#include <thread>

namespace {

using std::chrono::milliseconds;

const TGap* FirstGapOf(const TGapWatch& Watch, double Ms)
{
    const auto& Gaps = Watch.Gaps();
    const auto Found = std::find_if(Gaps.begin(), Gaps.end(), [Ms](const TGap& Gap) { return Gap.Ms >= Ms; });
    return Found == Gaps.end() ? nullptr : &*Found;
}

} // namespace

TEST(GapWatch, ShowsEachHoldOfTheLoopWithTheStatusItEndedOn)
{
    QLabel Status(QStringLiteral("before"));
    TGapWatch Watch(Status);
    Watch.Start();
    QTimer::singleShot(30, [&] {
        Status.setText(QStringLiteral("held"));
        std::this_thread::sleep_for(milliseconds(150));
    });
    ASSERT_TRUE(WaitUntil([&] { return FirstGapOf(Watch, 150) != nullptr; }));
    const TGap Held = *FirstGapOf(Watch, 150);
    EXPECT_EQ(Held.Status, "held");
    EXPECT_GE(Held.AtMs, 180) << "the hold began 30 ms after the start";
    // The thread slept: little or none of the hold was a wait for a processor, and never more than all.
    EXPECT_GE(Held.WaitingMs, 0) << "Linux tells each thread's wait for a processor";
    EXPECT_LE(Held.WaitingMs, Held.Ms);

    // A hold after the last tick is seen by Stop, with the status as it stands then.
    Status.setText(QStringLiteral("end"));
    std::this_thread::sleep_for(milliseconds(60));
    Watch.Stop();
    ASSERT_FALSE(Watch.Gaps().empty());
    EXPECT_GE(Watch.Gaps().back().Ms, 60);
    EXPECT_EQ(Watch.Gaps().back().Status, "end");
    const size_t Count = Watch.Gaps().size();
    QTest::qWait(3 * TGapWatch::TickMs);
    EXPECT_EQ(Watch.Gaps().size(), Count) << "no tick after Stop";
}

struct TBinRow {
    const char* Name;
    double Ms;
    size_t Bin;
};

class GapBins : public testing::TestWithParam<TBinRow> {};

TEST_P(GapBins, PutsAGapInTheBinUpToItsEnd)
{
    EXPECT_EQ(GapBin(GetParam().Ms), GetParam().Bin);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, GapBins,
    testing::Values(TBinRow{"aTickOnTime", 10, 0}, TBinRow{"justUnder12", 11.99, 0}, TBinRow{"at12", 12, 1},
                    TBinRow{"aPollLate", 25, 3}, TBinRow{"justUnderAFixedWait", 239.9, 6},
                    TBinRow{"theBootReplyWait", 262, 7}, TBinRow{"theConnectWait", 700, 8},
                    TBinRow{"aMinute", 60'000, 8}),
    [](const testing::TestParamInfo<TBinRow>& Info) { return std::string(Info.param.Name); });
