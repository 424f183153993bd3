#include "progress.h"

#include "QtTestSupport.h"
#include "SimulatedLink.h"
#include "TestFiles.h"
#include "WorkerInside.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// A worker that never runs: its fields stand for a run in any state.
class ProgressWindow : public testing::Test {
protected:
    void SetUp() override
    {
        Worker = std::make_unique<Tarm_SER>(true);
        SerWorker = Worker.get();
        Window = std::make_unique<TFprogress>();
        Window->show();
        Window->Timer1->start();
    }
    void TearDown() override
    {
        Window.reset();
        SerWorker = nullptr;
        Worker.reset();
    }
    void Run(uint32_t Start, uint32_t End, uint32_t Address)
    {
        TWorkerInside::StartAddress(*Worker).store(Start);
        TWorkerInside::EndAddress(*Worker).store(End);
        TWorkerInside::Address(*Worker).store(Address);
        TWorkerInside::Operation(*Worker).store(opWriteFromFile);
    }

    std::unique_ptr<Tarm_SER> Worker;
    std::unique_ptr<TFprogress> Window;
};

TEST_F(ProgressWindow, aTickWhileIdleClosesTheWindow)
{
    Window->ProgressBar1->setValue(40);
    Window->Timer1Timer();
    EXPECT_FALSE(Window->isVisible());
    EXPECT_FALSE(Window->Timer1->isActive());
}

TEST_F(ProgressWindow, aTickWithoutAWorkerClosesTheWindow)
{
    SerWorker = nullptr;
    Window->Timer1Timer();
    EXPECT_FALSE(Window->isVisible());
    EXPECT_FALSE(Window->Timer1->isActive());
}

struct TTickRow {
    const char* Name;
    uint32_t Start, End, Address;
    int Position;
};

void PrintTo(const TTickRow& Row, std::ostream* Out) { *Out << Row.Name; }


class ProgressTick : public ProgressWindow, public testing::WithParamInterface<TTickRow> {};

TEST_P(ProgressTick, showsTheShareDoneTruncatedAndStaysOpenWhileTheRunGoesOn)
{
    const TTickRow& Row = GetParam();
    Run(Row.Start, Row.End, Row.Address);
    Window->Timer1Timer();
    EXPECT_EQ(Window->ProgressBar1->value(), Row.Position);
    EXPECT_TRUE(Window->isVisible());
    EXPECT_TRUE(Window->Timer1->isActive());
}

INSTANTIATE_TEST_SUITE_P(
    Runs, ProgressTick,
    testing::Values(TTickRow{"notStarted", 0x8000, 0x8000 + 999, 0x8000, 0},
                    TTickRow{"truncated", 0x8000, 0x8000 + 999, 0x8000 + 666, 66},
                    TTickRow{"half", 0x8000, 0x8000 + 1000, 0x8000 + 500, 50},
                    TTickRow{"lastBlockPastTheEnd", 0x8000, 0x8000 + 999, 0x8000 + 1024, 100},
                    TTickRow{"endEqualsStart", 0x8000, 0x8000, 0x8080, 0},
                    TTickRow{"addressBelowStart", 0x8000, 0x8000 + 999, 0x7F80, 100}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(ProgressWindow, closingStopsTheTimer)
{
    Run(0x8000, 0x9000, 0x8000);
    Window->close();
    EXPECT_FALSE(Window->Timer1->isActive());
}

// A real run on the simulated device: Cancel abandons it and the next tick closes the window.
TEST(ProgressWindowOnDevice, cancelAbandonsTheRunAndTheWindowClosesOnTheNextTick)
{
    const TTempFolder Folder("progress");
    const auto Image = Folder.Path() / "image.sim";
    SaveFile(Image, TBytes(64 * 1024, 0x5A));
    TSimulatedLink Link(PacedAt(115200));
    ASSERT_TRUE(Link.Opened(std::chrono::seconds(10)));
    Tarm_SER& Worker = Link.Worker;
    const TDeviceSimulator& Sim = Link.Sim;
    SerWorker = &Worker;
    uint32_t Size = 0;
    ASSERT_EQ(Worker.StartFirmwareWrite(Image.string(), false, Size), srArmed);

    TFprogress Window;
    Window.show();
    Window.Timer1->start();
    ASSERT_TRUE(WaitUntil([&] { return Window.ProgressBar1->value() > 0; }));
    EXPECT_TRUE(Window.isVisible());

    QTest::mouseClick(Window.BitBtn1, Qt::LeftButton);
    EXPECT_TRUE(Worker.Idle());
    EXPECT_TRUE(WaitUntil([&] { return !Window.isVisible(); }));
    EXPECT_FALSE(Window.Timer1->isActive());
    EXPECT_LT(Window.ProgressBar1->value(), 100);
    // Once the abandoned step has ended the worker takes new work, and the device sees no further
    // block of the run.
    ASSERT_TRUE(WaitUntil([&] { return Worker.StartProtectionRead() == srArmed; }));
    ASSERT_TRUE(WaitUntil([&] { return Worker.Done(); }));
    const auto Writes = [&] {
        const auto Log = Sim.RequestLog();
        return std::count_if(Log.begin(), Log.end(), [](const std::string& Line) { return Line.rfind("WRITE", 0) == 0; });
    };
    const auto WritesAfterCancel = Writes();
    EXPECT_LT(WritesAfterCancel, 512);
    ASSERT_EQ(Worker.StartProtectionRead(), srArmed);
    ASSERT_TRUE(WaitUntil([&] { return Worker.Done(); }));
    EXPECT_EQ(Writes(), WritesAfterCancel);
    SerWorker = nullptr;
}

} // namespace
