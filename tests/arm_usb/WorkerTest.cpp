// The device worker against the simulated device on a pseudo-terminal, opened by its path exactly
// as a real port would be.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "DeviceSimulator.h"
#include "ProcessFigures.h"
#include "SimulatedDeviceTest.h"
#include "TestFiles.h"
#include "WorkerInside.h"
#include "arm_ser.h"

using namespace std::chrono_literals;

namespace {

// Shortens the 1100 polls of silence after an unanswered write from 11 s to about 1 s.
constexpr auto SilentPause = 1ms;

template <size_t Size>
TBytes ToBytes(const std::array<uint8_t, Size>& Bytes)
{
    return TBytes(Bytes.begin(), Bytes.end());
}

// For the figures a test reports.
long long MsSince(std::chrono::steady_clock::time_point Start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - Start).count();
}

// True while one of the process's descriptors refers to File.
bool HeldOpen(const std::filesystem::path& File)
{
    const auto Target = std::filesystem::canonical(File);
    for (const auto& Entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code Error;
        if (std::filesystem::read_symlink(Entry.path(), Error) == Target)
            return true;
    }
    return false;
}

// The simulator's log lines that begin with Start.
std::vector<std::string> LogLines(const TDeviceSimulator& Sim, const std::string& Start)
{
    std::vector<std::string> Lines;
    for (const std::string& Line : Sim.RequestLog())
        if (Line.rfind(Start, 0) == 0)
            Lines.push_back(Line);
    return Lines;
}

std::vector<std::string> BlockLines(const char* Request, int Blocks, const char* Outcome)
{
    std::vector<std::string> Lines;
    for (int I = 0; I < Blocks; ++I) {
        char Line[48];
        std::snprintf(Line, sizeof Line, "%s %06X 0080 %s", Request, 0x8000 + I * 128, Outcome);
        Lines.emplace_back(Line);
    }
    return Lines;
}

class WorkerTest : public TSimulatedDeviceTest {
protected:
    bool Done() const
    {
        return WaitUntil([&] { return Worker->Done(); }, RunBound);
    }
    // Writes Image to a file and arms its write run.
    int StartImageWrite(const TBytes& Image, uint32_t& Size)
    {
        const auto Path = Dir / ("image-" + std::to_string(Image.size()) + ".sim");
        SaveFile(Path, Image);
        return Worker->StartFirmwareWrite(Path.string(), false, Size);
    }

    // Outlives the worker, which TearDown stops: no file of the folder is open when it goes.
    TTempFolder Folder{"worker-test"};
    const std::filesystem::path Dir = Folder.Path();
};

TEST_F(WorkerTest, WritesImagesInWholeBlocksAndReadsTheSameBlocksBack)
{
    ASSERT_TRUE(Connect());
    const TBytes Image = Pattern(1000, 1);
    uint32_t Size = 0;
    ASSERT_EQ(StartImageWrite(Image, Size), srArmed);
    EXPECT_EQ(Size, 1000u);
    EXPECT_EQ(Worker->Progress().End, 0x83E7u);
    ASSERT_TRUE(Finished());
    EXPECT_FALSE(Worker->Failed());
    EXPECT_EQ(Worker->BlockCount(), 8);
    EXPECT_EQ(Worker->Progress().Address, 0x8400u);
    EXPECT_EQ(LogLines(*Sim, "WRITE"), BlockLines("WRITE 02", 8, "acked"));
    TBytes Padded = Image;
    Padded.resize(1024, 0);
    Padded.push_back(0xFF); // erased: nothing was written at 0x8400
    EXPECT_EQ(Sim->Memory().Read(0x8000, 1025), Padded);

    const auto ReadBack = Dir / "image.b79";
    ASSERT_EQ(Worker->StartFirmwareRead(ReadBack.string(), false, Size), srArmed);
    ASSERT_TRUE(Finished());
    EXPECT_EQ(LogLines(*Sim, "READ"), BlockLines("READ", 8, "sent"));
    Padded.pop_back();
    EXPECT_EQ(LoadFile(ReadBack), Padded);

    const TBytes Whole = Pattern(1024, 2);
    ASSERT_EQ(StartImageWrite(Whole, Size), srArmed);
    ASSERT_TRUE(Finished());
    EXPECT_EQ(LogLines(*Sim, "WRITE").size(), 16u);
    TBytes Expected = Whole;
    Expected.push_back(0xFF);
    EXPECT_EQ(Sim->Memory().Read(0x8000, 1025), Expected);
}

TEST_F(WorkerTest, ResendsAnUnacknowledgedBlockWithTheSameBytes)
{
    TSimSettings Settings;
    Settings.DropAckEvery = 5;
    ASSERT_TRUE(Connect(Settings, SilentPause));
    const TBytes Image = Pattern(1024, 3);
    uint32_t Size = 0;
    ASSERT_EQ(StartImageWrite(Image, Size), srArmed);
    ASSERT_TRUE(Finished());
    EXPECT_TRUE(Worker->Failed());
    EXPECT_EQ(Worker->BlockCount(), 8);
    std::vector<std::string> Expected = BlockLines("WRITE 02", 8, "acked");
    Expected.insert(Expected.begin() + 4, "WRITE 02 008200 0080 ack-dropped");
    EXPECT_EQ(LogLines(*Sim, "WRITE"), Expected);
    // A resend of other bytes (the next block's, or zeros) would show here.
    EXPECT_EQ(Sim->Memory().Read(0x8000, 1024), Image);
}

TEST_F(WorkerTest, AsksAgainForACorruptedReadReplyAndWritesNothingForIt)
{
    TSimSettings Settings;
    Settings.CorruptReadEvery = 3;
    ASSERT_TRUE(Connect(Settings));
    const TBytes Device = Pattern(1024, 4);
    Sim->Memory().Write(0x8000, Device);
    const auto ReadBack = Dir / "device.b79";
    ASSERT_EQ(Worker->StartFirmwareRead(ReadBack.string(), false, 1024), srArmed);
    ASSERT_TRUE(Finished());
    EXPECT_TRUE(Worker->Failed());
    EXPECT_EQ(Worker->BlockCount(), 8);
    EXPECT_EQ(LoadFile(ReadBack), Device);
    const std::vector<std::string> Reads = LogLines(*Sim, "READ");
    int Corrupted = 0;
    for (size_t I = 0; I < Reads.size(); ++I) {
        if (Reads[I].find("corrupted") == std::string::npos)
            continue;
        ++Corrupted;
        ASSERT_LT(I + 1, Reads.size());
        EXPECT_EQ(Reads[I + 1].substr(0, 16), Reads[I].substr(0, 16)) << "not asked again: " << Reads[I];
    }
    EXPECT_GE(Corrupted, 2);
}

TEST_F(WorkerTest, BlockReadsDecodeTheirFieldAndAlwaysSetDone)
{
    TSimSettings Settings;
    Settings.ProtectionWord = 0x12345678;
    StartSim(Settings);
    const TBytes Mac = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    const TBytes PortSettings = {7, 1, 3, 2};
    Sim->Memory().Write(MacLocation, Mac);
    Sim->Memory().Write(SettingsAddress, PortSettings);
    ASSERT_TRUE(StartWorker());

    ASSERT_EQ(Worker->StartProtectionRead(), srArmed);
    ASSERT_TRUE(Done());
    EXPECT_EQ(Worker->ProtectionWord(), 0x12345678u);
    ASSERT_TRUE(Finished());
    ASSERT_EQ(Worker->StartMacRead(), srArmed);
    ASSERT_TRUE(Done());
    EXPECT_EQ(ToBytes(Worker->MacAddress()), Mac);
    ASSERT_TRUE(Finished());
    ASSERT_EQ(Worker->StartSettingsRead(), srArmed);
    ASSERT_TRUE(Done());
    EXPECT_EQ(ToBytes(Worker->Settings()), PortSettings);
    EXPECT_FALSE(Worker->Failed());
    ASSERT_TRUE(Finished());

    // Armed directly, as no start operation can: an address that is none of the three.
    TWorkerInside::Done(*Worker) = false;
    TWorkerInside::Address(*Worker) = FirmwareStart;
    TWorkerInside::Operation(*Worker) = opReadBlock;
    ASSERT_TRUE(Done());
    ASSERT_TRUE(Finished());
    EXPECT_EQ(Sim->RequestLog().back(), "READ 008000 0080 sent");
    EXPECT_EQ(Worker->ProtectionWord(), 0x12345678u);
    EXPECT_EQ(ToBytes(Worker->MacAddress()), Mac);
    EXPECT_EQ(ToBytes(Worker->Settings()), PortSettings);
}

TEST_F(WorkerTest, WritesParameterAndSettingsBlocksAndSendsTheBootQuery)
{
    ASSERT_TRUE(Connect());
    const TBytes Mac = {0xA0, 0xB1, 0xC2, 0xD3, 0xE4, 0xF5};
    ASSERT_EQ(Worker->StartBlockWrite(Mac, 4, 0), srArmed);
    ASSERT_TRUE(Finished());
    EXPECT_TRUE(Worker->Done());
    EXPECT_FALSE(Worker->Failed());
    EXPECT_EQ(Sim->RequestLog().back(), "WRITE 0B 03F004 0006 acked");
    EXPECT_EQ(Sim->Memory().Read(MacLocation, 6), Mac);

    const TBytes PortSettings = {3, 2, 1, 0};
    ASSERT_EQ(Worker->StartBlockWrite(PortSettings, 0, 1), srArmed);
    ASSERT_TRUE(Finished());
    EXPECT_EQ(Sim->RequestLog().back(), "WRITE 02 024000 0004 acked");
    EXPECT_EQ(Sim->Memory().Read(SettingsAddress, 4), PortSettings);

    ASSERT_EQ(Worker->StartBootQuery(BootQueryFrame), srArmed);
    ASSERT_TRUE(Finished());
    ASSERT_TRUE(Sim->WaitForLog(3, RunBound));
    EXPECT_EQ(Sim->RequestLog().back(), "BOOT answered");
}

TEST_F(WorkerTest, StartOperationsRefuseWhileBusyAndChangeNothing)
{
    // Never resumed: nothing takes the armed operation up.
    Worker = std::make_unique<Tarm_SER>(true);
    ASSERT_EQ(Worker->StartSettingsRead(), srArmed);
    const auto Fields = [&] { return TWorkerInside::ArmedState(*Worker); };
    const std::vector<int64_t> Before = Fields();
    const size_t Descriptors = OpenDescriptors();

    const auto Image = Dir / "image.sim";
    SaveFile(Image, Pattern(300, 5));
    uint32_t Size = 77;
    EXPECT_EQ(Worker->StartFirmwareWrite(Image.string(), false, Size), srBusy);
    EXPECT_EQ(Size, 77u);
    const auto ReadBack = Dir / "image.b79";
    EXPECT_EQ(Worker->StartFirmwareRead(ReadBack.string(), false, 300), srBusy);
    EXPECT_FALSE(std::filesystem::exists(ReadBack));
    EXPECT_EQ(Worker->StartProtectionRead(), srBusy);
    EXPECT_EQ(Worker->StartMacRead(), srBusy);
    EXPECT_EQ(Worker->StartSettingsRead(), srBusy);
    EXPECT_EQ(Worker->StartBlockWrite(TBytes(4, 0x5A), 0, 1), srBusy);
    EXPECT_EQ(Worker->StartBootQuery(BootQueryFrame), srBusy);
    EXPECT_EQ(Fields(), Before);
    EXPECT_EQ(OpenDescriptors(), Descriptors);
}

TEST_F(WorkerTest, RefusesAMissingEmptyOrOversizeImage)
{
    ASSERT_TRUE(Connect());
    const size_t Descriptors = OpenDescriptors();
    uint32_t Size = 0;
    EXPECT_EQ(Worker->StartFirmwareWrite((Dir / "missing.sim").string(), false, Size), srFileError);
    EXPECT_EQ(StartImageWrite({}, Size), srFileError);
    EXPECT_EQ(StartImageWrite(Pattern(FirmwareAreaSize + 1, 6), Size), srFileError);
    EXPECT_TRUE(Worker->Idle());
    EXPECT_EQ(OpenDescriptors(), Descriptors);
    EXPECT_TRUE(Sim->RequestLog().empty());
}

TEST_F(WorkerTest, AbandonedRunStopsAndClosesItsFile)
{
    ASSERT_TRUE(Connect());
    uint32_t Size = 0;
    ASSERT_EQ(StartImageWrite(Pattern(FirmwareAreaSize, 7), Size), srArmed); // the largest image fits
    EXPECT_EQ(Worker->Progress().End, FirmwareEnd);
    ASSERT_TRUE(WaitUntil([&] { return Worker->BlockCount() >= 2; }, RunBound));
    Worker->Abandon();
    EXPECT_TRUE(WaitUntil([&] { return !HeldOpen(Worker->FileName()); }, RunBound));
    // Busy until the worker has let go of the run, then free for the next operation.
    ASSERT_TRUE(WaitUntil([&] { return Worker->StartProtectionRead() == srArmed; }, RunBound));
    const size_t Written = LogLines(*Sim, "WRITE").size();
    ASSERT_TRUE(Done());
    ASSERT_TRUE(Finished());
    EXPECT_EQ(LogLines(*Sim, "WRITE").size(), Written);
}

TEST_F(WorkerTest, CloseLinkWaitsForAnAbandonedStepToLetGoOfThePort)
{
    TSimSettings Settings;
    Settings.DropAckEvery = 1;
    ASSERT_TRUE(Connect(Settings, SilentPause));
    ASSERT_EQ(Worker->StartBlockWrite(TBytes(4, 0x5A), 0, 0), srArmed);
    ASSERT_TRUE(Sim->WaitForLog(1, LinkBound));
    // Abandoned while the worker waits for an acknowledgement that never comes.
    Worker->Abandon();
    Worker->CloseLink();
    EXPECT_EQ(TWorkerInside::Comm(*Worker), nullptr);
    EXPECT_FALSE(Worker->LinkOpen());
    EXPECT_TRUE(Done()) << "the abandoned step ran to its end on the port it had";
}

TEST_F(WorkerTest, AnAbandonedStepLetsGoOfTheWorkerWithinAPollPause)
{
    TSimSettings Settings;
    Settings.DropAckEvery = 1;
    // The codec's own pause: waiting out the acknowledgement's 1100 polls would take 11 s.
    ASSERT_TRUE(Connect(Settings));
    uint32_t Size = 0;
    ASSERT_EQ(StartImageWrite(Pattern(1024, 10), Size), srArmed);
    ASSERT_TRUE(Sim->WaitForLog(1, LinkBound)); // the worker now waits for an acknowledgement
    const auto Abandoned = std::chrono::steady_clock::now();
    Worker->Abandon();
    ASSERT_TRUE(WaitUntil([&] { return Worker->StartProtectionRead() == srArmed; }, 3s));
    std::printf("[ figures  ] abandon to a start operation that answers 1: %lld ms\n", MsSince(Abandoned));
    EXPECT_FALSE(HeldOpen(Worker->FileName()));
    ASSERT_TRUE(Done());
    EXPECT_FALSE(Worker->Failed());
    EXPECT_EQ(LogLines(*Sim, "WRITE").size(), 1u);
}

TEST_F(WorkerTest, DisconnectDuringTheStartPauseLeavesThePortToTheNextWorker)
{
    StartSim();
    Worker = std::make_unique<Tarm_SER>(true);
    Worker->SetPortName(Sim->PortPath());
    Worker->Resume();
    // The window's Disconnect, landing inside the worker's 200 ms start pause (a double click on
    // Init and Disconnect): CloseLink, 100 ms, halt, 100 ms, terminate request.
    std::this_thread::sleep_for(150ms);
    Worker->CloseLink();
    std::this_thread::sleep_for(100ms);
    Worker->Suspend();
    std::this_thread::sleep_for(100ms);
    Worker->Terminate();

    Tarm_SER Next(true);
    Next.SetPortName(Sim->PortPath());
    Next.Resume();
    EXPECT_TRUE(Next.AwaitOpen(LinkBound));
    EXPECT_EQ(TWorkerInside::Comm(*Worker), nullptr);
    EXPECT_FALSE(Worker->LinkOpen());
}

TEST_F(WorkerTest, HangUpMidRunEndsTheRunWithErrorAndTheLinkLost)
{
    TSimSettings Settings;
    Settings.HangUpAfterBlocks = 3;
    // The codec's own pause: noticed only as silence, the hang-up would end the run after 11 s.
    ASSERT_TRUE(Connect(Settings));
    uint32_t Size = 0;
    ASSERT_EQ(StartImageWrite(Pattern(1024, 8), Size), srArmed);
    EXPECT_TRUE(HeldOpen(Worker->FileName()));
    ASSERT_TRUE(WaitUntil([&] { return Sim->HungUp(); }, RunBound));
    const auto HungUp = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitUntil([&] { return Worker->Idle(); }, 3s));
    std::printf("[ figures  ] hang-up to the end of the run: %lld ms\n", MsSince(HungUp));
    EXPECT_TRUE(Worker->Failed());
    EXPECT_EQ(Worker->BlockCount(), 3);
    EXPECT_FALSE(Worker->LinkOpen());
    EXPECT_FALSE(HeldOpen(Worker->FileName()));

    ASSERT_EQ(Worker->StartProtectionRead(), srArmed);
    ASSERT_TRUE(Done());
    EXPECT_TRUE(Worker->Failed());
    EXPECT_TRUE(Finished());
}

TEST_F(WorkerTest, PortThatCannotBeOpenedLeavesTheLinkClosedAndTheWorkerIdle)
{
    Worker = std::make_unique<Tarm_SER>(true, SilentPause);
    Worker->SetPortName("ttyNoSuchPort");
    Worker->Resume();
    ASSERT_TRUE(WaitUntil([&] { return TWorkerInside::Comm(*Worker) != nullptr; }, LinkBound));
    EXPECT_FALSE(Worker->LinkOpen());
    EXPECT_EQ(TWorkerInside::Comm(*Worker)->DeviceName(), "/dev/ttyNoSuchPort");
    EXPECT_FALSE(TWorkerInside::Comm(*Worker)->IsOpen());
    EXPECT_TRUE(Worker->Idle());

    // Armed all the same, as a window that doesn't look at FLinkOpen would: it fails and ends.
    ASSERT_EQ(Worker->StartMacRead(), srArmed);
    ASSERT_TRUE(Done());
    EXPECT_TRUE(Worker->Failed());
    EXPECT_TRUE(Finished());
    EXPECT_FALSE(Worker->Finished());
}

TEST_F(WorkerTest, CloseLinkAndStoppingLeaveNoThreadOrDescriptorBehind)
{
    StartSim();
    const size_t Descriptors = OpenDescriptors();
    const size_t BaseThreads = ProcessThreads();
    ASSERT_TRUE(StartWorker());
    uint32_t Size = 0;
    ASSERT_EQ(StartImageWrite(Pattern(200, 9), Size), srArmed);
    ASSERT_TRUE(Finished());

    Worker->CloseLink();
    EXPECT_FALSE(Worker->LinkOpen());
    // The port's event thread frees itself once stopped; only the worker is left.
    EXPECT_TRUE(WaitUntil([&] { return ProcessThreads() == BaseThreads + 1; }, LinkBound));
    EXPECT_EQ(OpenDescriptors(), Descriptors);
    Worker->TerminateAndWait();
    Worker.reset();
    EXPECT_TRUE(WaitUntil([&] { return ProcessThreads() == BaseThreads; }, LinkBound));
    EXPECT_EQ(OpenDescriptors(), Descriptors);
}

} // namespace
