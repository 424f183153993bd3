// The parameter jobs against the simulated device on a pseudo-terminal; what reached the device is
// read from the simulator's memory and request log.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "DeviceSimulator.h"
#include "NumberParse.h"
#include "ParamJobs.h"
#include "ParamVerify.h"
#include "SimulatedDeviceTest.h"
#include "WaitUntil.h"
#include "WorkerInside.h"

using namespace std::chrono_literals;
using TBytes = std::vector<uint8_t>;
using TTexts = std::array<std::string, 4>;

namespace {

// Shortens the worker's wait for an acknowledgement that never comes from 11 s to about 1 s.
constexpr auto SilentPause = 1ms;

const TBytes FactoryMac = {0x02, 0x00, 0x53, 0x30, 0x41, 0x50};

class ParamJobsTest : public TSimulatedDeviceTest {
protected:
    // A worker that never runs, so that an operation armed on it stays armed.
    void HoldWorker()
    {
        Worker = std::make_unique<Tarm_SER>(true);
        TWorkerInside::LinkOpen(*Worker) = 1;
    }
    TBytes Device(uint32_t Address, uint32_t Length) const { return Sim->Memory().Read(Address, Length); }
    std::string LastRequest() const { return Sim->RequestLog().back(); }
    TBytes OutBuffer() const
    {
        const auto Buffer = TWorkerInside::OutBuffer(*Worker);
        return TBytes(Buffer.begin(), Buffer.end());
    }

};

TEST_F(ParamJobsTest, WindowWritesPutEachRecordMostSignificantByteFirst)
{
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(WriteProtection(*Worker, *ParseInt32("0x12345678")));
    ASSERT_TRUE(Finished());
    EXPECT_EQ(LastRequest(), "WRITE 0B 03F000 0004 acked");
    EXPECT_EQ(Device(ProtectionAddress, 10), TBytes({0x12, 0x34, 0x56, 0x78, 0x02, 0x00, 0x53, 0x30, 0x41, 0x50}));

    ASSERT_TRUE(WriteProtection(*Worker, *ParseInt32("78")));
    ASSERT_TRUE(Finished());
    EXPECT_EQ(Device(ProtectionAddress, 4), TBytes({0x00, 0x00, 0x00, 0x4E}));

    ASSERT_TRUE(WriteMacAddress(*Worker, *ParseInt64("0x00112233AABB")));
    ASSERT_TRUE(Finished());
    EXPECT_EQ(LastRequest(), "WRITE 0B 03F004 0006 acked");
    EXPECT_EQ(Device(ProtectionAddress, 11),
              TBytes({0x00, 0x00, 0x00, 0x4E, 0x00, 0x11, 0x22, 0x33, 0xAA, 0xBB, 0xFF}));

    // Wider than 48 bits: the top bits are lost, nothing lands beyond the six bytes.
    ASSERT_TRUE(WriteMacAddress(*Worker, *ParseInt64("0xABCD665544332211")));
    ASSERT_TRUE(Finished());
    EXPECT_EQ(LastRequest(), "WRITE 0B 03F004 0006 acked");
    EXPECT_EQ(Device(MacLocation, 7), TBytes({0x66, 0x55, 0x44, 0x33, 0x22, 0x11, 0xFF}));

    ASSERT_TRUE(WriteAll(*Worker, 0xCAFEF00D, 0x0A0B0C0D0E0F));
    ASSERT_TRUE(Finished());
    EXPECT_EQ(LastRequest(), "WRITE 0B 03F000 000A acked");
    EXPECT_EQ(Device(ProtectionAddress, 11),
              TBytes({0xCA, 0xFE, 0xF0, 0x0D, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0xFF}));

    ASSERT_TRUE(WriteSettings(*Worker, {9, 2, 7, 0}));
    ASSERT_TRUE(Finished());
    EXPECT_EQ(LastRequest(), "WRITE 02 024000 0004 acked");
    EXPECT_EQ(Device(SettingsAddress, 5), TBytes({9, 2, 7, 0, 0xFF}));
}

TEST_F(ParamJobsTest, ReadsShowProtectionAndMacAsTheLabelsDo)
{
    TSimSettings Settings;
    Settings.ProtectionWord = 0x4E;
    CreateSim(Settings);
    Sim->Memory().Write(MacLocation, TBytes{0x00, 0x11, 0x22, 0x33, 0xAA, 0xBB});
    ASSERT_TRUE(StartWorker(Sim->PortPath()));

    // The device answers only once the job has processed events while it waits.
    int Calls = 0;
    const auto Protection = ReadProtection(*Worker, [&] {
        if (Calls++ == 0)
            Sim->Start();
    });
    ASSERT_TRUE(Protection);
    EXPECT_TRUE(Protection->Ok);
    EXPECT_EQ(Protection->Text, "0000004E");
    EXPECT_GE(Calls, 1);

    const auto Mac = ReadMacAddress(*Worker);
    ASSERT_TRUE(Mac);
    EXPECT_TRUE(Mac->Ok);
    EXPECT_EQ(Mac->Text, "0x 00 11 22 33 AA BB");
}

struct TSettingsRow {
    const char* Name;
    TBytes Device;
    TTexts Texts;
};

class SettingsReadTest : public ParamJobsTest, public testing::WithParamInterface<TSettingsRow> {};

TEST_P(SettingsReadTest, ShowsTheTextOfEachCode)
{
    ASSERT_TRUE(Connect());
    Sim->Memory().Write(SettingsAddress, GetParam().Device);
    const auto Read = ReadSettings(*Worker);
    ASSERT_TRUE(Read);
    EXPECT_TRUE(Read->Ok);
    EXPECT_EQ(Read->Texts, GetParam().Texts);
}

const TSettingsRow SettingsRows[] = {
    {"FastestOddSlowerNone", {9, 2, 7, 0}, {"115200", "ODD", "38400", "NONE"}},
    {"Erased", {0xFF, 0xFF, 0xFF, 0xFF}, {"Error", "Error", "Error", "Error"}},
    {"UsbOnlyRatesOnMeterBus", {8, 1, 8, 2}, {"57600", "EVEN", "Error", "ODD"}},
    {"BeyondTheLists", {0, 3, 9, 3}, {"300", "Error", "Error", "Error"}},
};

INSTANTIATE_TEST_SUITE_P(Codes, SettingsReadTest, testing::ValuesIn(SettingsRows),
                         [](const testing::TestParamInfo<TSettingsRow>& Info) { return std::string(Info.param.Name); });

TEST_F(ParamJobsTest, FailedReadsShowTheirFailureTexts)
{
    TSimSettings Settings;
    Settings.CorruptReadEvery = 1;
    ASSERT_TRUE(Connect(Settings));
    const auto Protection = ReadProtection(*Worker);
    ASSERT_TRUE(Protection);
    EXPECT_FALSE(Protection->Ok);
    EXPECT_EQ(Protection->Text, "Error in Read Protection!");
    const auto Mac = ReadMacAddress(*Worker);
    ASSERT_TRUE(Mac);
    EXPECT_FALSE(Mac->Ok);
    EXPECT_EQ(Mac->Text, "Error in Read Data!");
    const auto PortSettings = ReadSettings(*Worker);
    ASSERT_TRUE(PortSettings);
    EXPECT_FALSE(PortSettings->Ok);
    EXPECT_EQ(PortSettings->Texts, TTexts({"Error in Read Data!", "", "", ""}));
    EXPECT_EQ(Sim->RequestLog().size(), 3u);
}

TEST_F(ParamJobsTest, BusyWorkerDropsEveryWriteAndLeavesFOutBufferAlone)
{
    HoldWorker();
    ASSERT_EQ(Worker->StartSettingsRead(), srArmed);
    std::ranges::fill(TWorkerInside::OutBuffer(*Worker), uint8_t{0x5A});
    const TBytes Before = OutBuffer();
    EXPECT_FALSE(WriteProtection(*Worker, 0x12345678));
    EXPECT_FALSE(WriteMacAddress(*Worker, 0x00112233AABB));
    EXPECT_FALSE(WriteAll(*Worker, 0x12345678, 0x00112233AABB));
    EXPECT_FALSE(WriteSettings(*Worker, {9, 2, 7, 0}));
    EXPECT_EQ(WriteProtectionChecked(*Worker, 0x12345678), wcNotArmed);
    EXPECT_EQ(OutBuffer(), Before);
    EXPECT_EQ(TWorkerInside::Operation(*Worker).load(), opReadBlock);
    EXPECT_EQ(Worker->Progress().Address, SettingsAddress);
}

TEST_F(ParamJobsTest, WithoutAnOpenLinkNoJobArmsAnything)
{
    ASSERT_FALSE(StartWorker("ttyNoSuchPort"));
    std::ranges::fill(TWorkerInside::OutBuffer(*Worker), uint8_t{0x5A});
    const TBytes Before = OutBuffer();
    EXPECT_FALSE(ReadProtection(*Worker));
    EXPECT_FALSE(ReadMacAddress(*Worker));
    EXPECT_FALSE(ReadSettings(*Worker));
    EXPECT_FALSE(WriteProtection(*Worker, 0x12345678));
    EXPECT_FALSE(WriteAll(*Worker, 0x12345678, 0x00112233AABB));
    EXPECT_EQ(WriteSettingsChecked(*Worker, {9, 2, 7, 0}), wcNotArmed);
    EXPECT_EQ(OutBuffer(), Before);
    EXPECT_TRUE(Worker->Idle());
    EXPECT_FALSE(Worker->Done()) << "an operation ran";
}

TEST_F(ParamJobsTest, CheckedWritesReadBackWhatTheDeviceHolds)
{
    ASSERT_TRUE(Connect());
    EXPECT_EQ(WriteProtectionChecked(*Worker, 0x12345678), wcWritten);
    EXPECT_EQ(Device(ProtectionAddress, 4), TBytes({0x12, 0x34, 0x56, 0x78}));
    EXPECT_EQ(WriteMacAddressChecked(*Worker, 0x00112233AABB), wcWritten);
    EXPECT_EQ(Device(MacLocation, 6), TBytes({0x00, 0x11, 0x22, 0x33, 0xAA, 0xBB}));
    EXPECT_EQ(WriteSettingsChecked(*Worker, {8, 1, 6, 2}), wcWritten);
    EXPECT_EQ(Device(SettingsAddress, 4), TBytes({8, 1, 6, 2}));
    EXPECT_EQ(WriteAllChecked(*Worker, 0x4E, 0xFFFFFFFFFFFF), wcWritten);
    EXPECT_EQ(Device(ProtectionAddress, 10), TBytes({0x00, 0x00, 0x00, 0x4E, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));

    // Too wide for the command line: refused before anything is sent.
    const size_t Requests = Sim->RequestLog().size();
    EXPECT_EQ(WriteMacAddressChecked(*Worker, 0x1000000000000), wcTooWide);
    EXPECT_EQ(WriteAllChecked(*Worker, 0, static_cast<uint64_t>(*ParseInt64("-1"))), wcTooWide);
    EXPECT_EQ(Sim->RequestLog().size(), Requests);
    EXPECT_EQ(Device(MacLocation, 6), TBytes(6, 0xFF));
}

struct TFaultRow {
    const char* Name;
    TSimSettings Settings;
    std::chrono::milliseconds Pause;
    TWriteCheck Check;
};

// One fault at a time; the rest as a sound device.
TSimSettings Fault(unsigned DropAckEvery, unsigned CorruptReadEvery, std::optional<uint32_t> BadCell)
{
    TSimSettings Settings;
    Settings.DropAckEvery = DropAckEvery;
    Settings.CorruptReadEvery = CorruptReadEvery;
    Settings.BadCell = BadCell;
    return Settings;
}

class CheckedWriteFaultTest : public ParamJobsTest, public testing::WithParamInterface<TFaultRow> {};

TEST_P(CheckedWriteFaultTest, ReportsWhatWentWrong)
{
    ASSERT_TRUE(Connect(GetParam().Settings, GetParam().Pause));
    EXPECT_EQ(WriteProtectionChecked(*Worker, 0x12345678), GetParam().Check);
}

const TFaultRow FaultRows[] = {
    {"ByteNotKept", Fault(0, 0, ProtectionAddress + 3), PollPause, wcDiffers},
    {"NoAcknowledgement", Fault(1, 0, std::nullopt), SilentPause, wcNotAcknowledged},
    {"ReadBackFails", Fault(0, 1, std::nullopt), PollPause, wcReadFailed},
};

INSTANTIATE_TEST_SUITE_P(Faults, CheckedWriteFaultTest, testing::ValuesIn(FaultRows),
                         [](const testing::TestParamInfo<TFaultRow>& Info) { return std::string(Info.param.Name); });

} // namespace
