// The firmware update against the simulated device on a pseudo-terminal, driven as the window
// drives it: status texts, a 500 ms tick, messages processed while it waits.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <memory>

#include "DeviceSimulator.h"
#include "FirmwareUpdate.h"
#include "SimulatedDeviceTest.h"
#include "TestFiles.h"
#include "TickTimer.h"
#include "WaitUntil.h"
#include "arm_ser.h"

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

namespace {

// Shortens the codec's waits (1100 polls of silence after an unanswered write) to about a second.
constexpr auto ShortPause = 1ms;
constexpr TLocalTime FixedTime{2026, 12, 6, 9, 5, 3, 45};
constexpr char FixedReadBack[] = "image202612695345.b79";

// What the window would have shown: each status text with the progress positions shown under it.
struct TShown {
    std::string Text;
    std::vector<int> Positions;
    TClock::time_point At;
};

class FirmwareUpdateTest : public TSimulatedDeviceTest {
protected:
    void TearDown() override
    {
        Job.reset();
        TSimulatedDeviceTest::TearDown();
    }

    void Connect(const TSimSettings& Settings = {}, std::chrono::milliseconds Pause = PollPause)
    {
        ASSERT_TRUE(TSimulatedDeviceTest::Connect(Settings, Pause));
        Job = std::make_unique<TFirmwareUpdate>(*Worker, Hooks());
        Job->SetImageFile(Image.string());
    }

    TUpdateHooks Hooks()
    {
        TUpdateHooks Hooks;
        Hooks.Show = [this](const std::string& Text) { Shown.push_back({Text, {}, TClock::now()}); };
        Hooks.ProcessMessages = [this] {
            if (OnMessages)
                OnMessages();
            Timer.Poll();
        };
        Hooks.StartTimer = [this] { Timer.Start(); };
        Hooks.StopTimer = [this] { Timer.Stop(); };
        Hooks.SetProgress = [this](int Position) {
            ASSERT_FALSE(Shown.empty()) << "progress before any status text";
            Shown.back().Positions.push_back(Position);
        };
        Hooks.Now = [] { return FixedTime; };
        return Hooks;
    }

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> Result;
        for (const TShown& Entry : Shown)
            Result.push_back(Entry.Text);
        return Result;
    }
    const TShown* Find(const std::string& Text) const
    {
        const auto It = std::find_if(Shown.begin(), Shown.end(), [&](const TShown& E) { return E.Text == Text; });
        return It == Shown.end() ? nullptr : &*It;
    }
    std::vector<std::string> Requests(const std::string& Start) const
    {
        std::vector<std::string> Lines;
        for (const std::string& Line : Sim->RequestLog())
            if (Line.rfind(Start, 0) == 0)
                Lines.push_back(Line);
        return Lines;
    }
    std::vector<std::string> ReadBackFiles() const { return FilesEndingWith(Folder.Path(), ".b79"); }

    TTempFolder Folder{"firmware-update-test"};
    std::filesystem::path Image = Folder.Path() / "image.sim";
    std::unique_ptr<TFirmwareUpdate> Job;
    std::vector<TShown> Shown;
    std::function<void()> OnMessages;
    TTickTimer Timer{500ms, [this] { Job->T_AutoTimer(); }};
};

// ---- Updates that end in "Update Done" ----

struct TGoodCase {
    const char* Name;
    TSimSettings Settings;
};
void PrintTo(const TGoodCase& Case, std::ostream* Out) { *Out << Case.Name; }

class GoodUpdate : public FirmwareUpdateTest, public testing::WithParamInterface<TGoodCase> {};

TEST_P(GoodUpdate, WritesReadsBackComparesAndLeavesNoReadBackFile)
{
    const TBytes Bytes = Pattern(1000, 11);
    SaveFile(Image, Bytes);
    Connect(GetParam().Settings, ShortPause);
    TUpdateOutcome Nested = TUpdateOutcome::Done;
    bool WasRunning = false;
    OnMessages = [&] {
        // A second click while the first update waits is refused and disturbs nothing.
        if (Find("Write Firmware") && !WasRunning) {
            WasRunning = Job->Running();
            Nested = Job->Run();
        }
    };

    EXPECT_EQ(Job->Run(), TUpdateOutcome::Done);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Write Firmware", "Read Firmware", "Update Done"}));
    EXPECT_TRUE(WasRunning);
    EXPECT_EQ(Nested, TUpdateOutcome::Abandoned);
    EXPECT_FALSE(Job->Running());
    ASSERT_FALSE(Shown[1].Positions.empty());
    EXPECT_EQ(Shown[1].Positions.back(), 100);
    EXPECT_TRUE(ReadBackFiles().empty());
    TBytes Written = Bytes;
    Written.resize(1024, 0);
    EXPECT_EQ(Sim->Memory().Read(FirmwareStart, 1024), Written);
    EXPECT_EQ(Requests("BOOT"), std::vector<std::string>{"BOOT answered"});
    EXPECT_EQ(Requests("READ 03F000").size(), 1u);
    // The worker's file name afterwards names the read-back file, formed from the clock.
    EXPECT_EQ(Worker->FileName(), (Folder.Path() / FixedReadBack).string());
}

TSimSettings DroppedAcks()
{
    TSimSettings S;
    S.DropAckEvery = 3;
    return S;
}
TSimSettings Corrupted(unsigned Every)
{
    TSimSettings S;
    S.CorruptReadEvery = Every;
    return S;
}
TSimSettings ProtectionWordZero()
{
    TSimSettings S;
    S.ProtectionWord = 0;
    return S;
}

INSTANTIATE_TEST_SUITE_P(Outcomes, GoodUpdate,
                         testing::Values(TGoodCase{"Plain", {}}, TGoodCase{"DroppedAcks", DroppedAcks()},
                                         TGoodCase{"CorruptedReads", Corrupted(3)},
                                         TGoodCase{"ProtectionWordZero", ProtectionWordZero()}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// ---- Refused before anything is written ----

struct TRefusedCase {
    const char* Name;
    TSimSettings Settings;
    bool WithImage;
    TUpdateOutcome Outcome;
    const char* Text;
    std::vector<std::string> Requests; // the device's whole request log
};
void PrintTo(const TRefusedCase& Case, std::ostream* Out) { *Out << Case.Name; }

class RefusedUpdate : public FirmwareUpdateTest, public testing::WithParamInterface<TRefusedCase> {};

TEST_P(RefusedUpdate, ShowsWhyAndWritesNothing)
{
    const TRefusedCase& Case = GetParam();
    if (Case.WithImage)
        SaveFile(Image, Pattern(1000, 12));
    Connect(Case.Settings);
    EXPECT_EQ(Job->Run(), Case.Outcome);
    EXPECT_EQ(Texts(), std::vector<std::string>{Case.Text});
    // The device logs a request once it has answered it, which may be after the tool has gone on.
    EXPECT_TRUE(Sim->WaitForLog(Case.Requests.size(), LinkBound));
    EXPECT_EQ(Sim->RequestLog(), Case.Requests);
    EXPECT_TRUE(ReadBackFiles().empty());
}

TSimSettings BootText(const char* Text)
{
    TSimSettings S;
    S.BootText = Text;
    return S;
}
TSimSettings Silent()
{
    TSimSettings S;
    S.BootReply = false;
    return S;
}
TSimSettings UnpluggedAtFirstRead()
{
    TSimSettings S;
    S.HangUpAfterReads = 0;
    return S;
}
TSimSettings Protection(uint32_t Word)
{
    TSimSettings S;
    S.ProtectionWord = Word;
    return S;
}

const char* const NotInBootMode = "The device isn't on Boot Mode";
const char* const WrongDevice = "You cannot use this software for this device";
const std::vector<std::string> BootAndProtectionRead = {"BOOT answered", "READ 03F000 0080 sent"};

INSTANTIATE_TEST_SUITE_P(
    Outcomes, RefusedUpdate,
    testing::Values(
        TRefusedCase{"NoBootReply", Silent(), true, TUpdateOutcome::NotInBootMode, NotInBootMode, {"BOOT silent"}},
        TRefusedCase{"LowerCaseBootReply", BootText("boot ver 1.05\r\n"), true, TUpdateOutcome::NotInBootMode,
                     NotInBootMode, {"BOOT answered"}},
        TRefusedCase{"LeadingBlank", BootText(" BOOT VER 1.05\r\n"), true, TUpdateOutcome::NotInBootMode,
                     NotInBootMode, {"BOOT answered"}},
        TRefusedCase{"EmptyFirstLine", BootText("\r\nBOOT VER 1.05\r\n"), true, TUpdateOutcome::NotInBootMode,
                     NotInBootMode, {"BOOT answered"}},
        TRefusedCase{"ProtectionWord79", Protection(79), true, TUpdateOutcome::WrongDevice, WrongDevice,
                     BootAndProtectionRead},
        TRefusedCase{"ProtectionWord78Reversed", Protection(0x4E000000), true, TUpdateOutcome::WrongDevice,
                     WrongDevice, BootAndProtectionRead},
        TRefusedCase{"LinkLostInDeviceCheck", UnpluggedAtFirstRead(), true, TUpdateOutcome::LinkLost,
                     "The link to the device was lost during the device check", {"BOOT answered", "READ 03F000 0080 hang-up"}},
        TRefusedCase{"ProtectionReplyNeverChecksOut", Corrupted(1), true, TUpdateOutcome::TypeNotRead,
                     "The device's type could not be read",
                     {"BOOT answered", "READ 03F000 0080 corrupted", "READ 03F000 0080 corrupted", "READ 03F000 0080 corrupted"}},
        TRefusedCase{"ImageMissing", {}, false, TUpdateOutcome::NoImage, "The Firmware file isn't in MASTER folder",
                     BootAndProtectionRead}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// ---- Runs that can't end in "Update Done" ----

TEST_F(FirmwareUpdateTest, BadFlashCellEndsInErrorAfterRead)
{
    SaveFile(Image, Pattern(1000, 13));
    TSimSettings Settings;
    Settings.BadCell = FirmwareStart + 300;
    Connect(Settings);
    EXPECT_EQ(Job->Run(), TUpdateOutcome::VerifyFailed);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Write Firmware", "Read Firmware", "Error after read"}));
    EXPECT_TRUE(ReadBackFiles().empty());
}

TEST_F(FirmwareUpdateTest, PlantedLinkOrFileAtTheReadBackNameIsNeitherFollowedNorTrusted)
{
    SaveFile(Image, Pattern(1000, 14));
    const TTempFolder Elsewhere("firmware-update-victim");
    const auto Victim = Elsewhere.Path() / "victim";
    const TBytes VictimBytes = Pattern(50, 15);
    SaveFile(Victim, VictimBytes);
    const auto Planted = Folder.Path() / FixedReadBack;
    std::filesystem::create_symlink(Victim, Planted);
    Connect();

    EXPECT_EQ(Job->Run(), TUpdateOutcome::ReadFileFailed);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Write Firmware", "Error in Read Firmware", "Error after read"}));
    EXPECT_EQ(LoadFile(Victim), VictimBytes);
    EXPECT_TRUE(std::filesystem::is_symlink(Planted)) << "not this update's file to delete";

    // A copy of the image placed there beforehand must not pass for a read-back.
    std::filesystem::remove(Planted);
    std::filesystem::copy_file(Image, Planted);
    Shown.clear();
    EXPECT_EQ(Job->Run(), TUpdateOutcome::ReadFileFailed);
    EXPECT_EQ(Texts().back(), "Error after read");
    EXPECT_TRUE(std::filesystem::exists(Planted));
}

struct THangUpCase {
    const char* Name;
    unsigned HangUpAfterBlocks;
    const char* LastRunText;
};
void PrintTo(const THangUpCase& Case, std::ostream* Out) { *Out << Case.Name; }

class HangUp : public FirmwareUpdateTest, public testing::WithParamInterface<THangUpCase> {};

TEST_P(HangUp, EndsInAFailureTextWithinABoundAndALaterUpdateWorks)
{
    SaveFile(Image, Pattern(1000, 16)); // 8 blocks
    TSimSettings Settings;
    Settings.HangUpAfterBlocks = GetParam().HangUpAfterBlocks;
    Connect(Settings, ShortPause);
    const auto Start = TClock::now();
    EXPECT_EQ(Job->Run(), TUpdateOutcome::LinkLost);
    // The codec's limits at the short pause, with room for a loaded machine.
    EXPECT_LT(TClock::now() - Start, 20s);
    ASSERT_FALSE(Texts().empty());
    EXPECT_EQ(Texts().back(), "Error after read");
    EXPECT_NE(Find(GetParam().LastRunText), nullptr);
    EXPECT_EQ(Find("Update Done"), nullptr);
    EXPECT_TRUE(ReadBackFiles().empty());
    EXPECT_FALSE(Job->Running());

    // Connected anew, as after Disconnect and Init.
    Job.reset();
    Worker.reset();
    Sim.reset();
    Shown.clear();
    Connect();
    EXPECT_EQ(Job->Run(), TUpdateOutcome::Done);
    EXPECT_EQ(Texts().back(), "Update Done");
}

INSTANTIATE_TEST_SUITE_P(Stages, HangUp,
                         testing::Values(THangUpCase{"MidWrite", 3, "Write Firmware"},
                                         THangUpCase{"AtTheReadBack", 8, "Read Firmware"}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(FirmwareUpdateTest, DeviceThatStopsAnsweringIsGivenUpAfterTheStallLimit)
{
    SaveFile(Image, Pattern(1000, 17));
    TSimSettings Settings;
    Settings.DropAckEvery = 1; // stores every block, acknowledges none
    Connect(Settings, ShortPause);
    Job->SetStallLimit(1s);
    const auto Start = TClock::now();
    EXPECT_EQ(Job->Run(), TUpdateOutcome::Stalled);
    // The stall limit, then at most one acknowledgement wait at the short pause; generous.
    EXPECT_LT(TClock::now() - Start, 15s);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Write Firmware", "Error after read"}));
    EXPECT_TRUE(Requests("READ 008000").empty());
    // The worker lets go of the abandoned run and takes up the next operation.
    ASSERT_TRUE(WaitUntil([&] { return Worker->StartProtectionRead() == srArmed; }, 15s));
    EXPECT_TRUE(WaitUntil([&] { return Worker->Done(); }, 15s));
}

TEST_F(FirmwareUpdateTest, ReadIntoAFileThatStallsSaysSo)
{
    Connect({}, ShortPause);
    Job->SetStallLimit(1s);
    OnMessages = [&] {
        if (Find("Read Firmware"))
            Sim->Stop(); // silent from the read's start on, the line still there
    };
    EXPECT_EQ(Job->RunRead((Folder.Path() / "out.bin").string(), FirmwareAreaSize, false), TUpdateOutcome::Stalled);
    EXPECT_EQ(Texts().back(), "The device stopped answering during the read");
}

struct TAbandonCase {
    const char* Name;
    const char* AbandonDuring;
};
void PrintTo(const TAbandonCase& Case, std::ostream* Out) { *Out << Case.Name; }

class AbandonedUpdate : public FirmwareUpdateTest, public testing::WithParamInterface<TAbandonCase> {};

TEST_P(AbandonedUpdate, EndsAtOnceAndLeavesNoReadBackFile)
{
    SaveFile(Image, Pattern(128 * 40, 18));
    TSimSettings Settings;
    Settings.Baud = 115200; // each run lasts over a second
    Connect(Settings);
    bool ReadBackSeen = false;
    OnMessages = [&] {
        const TShown* During = Find(GetParam().AbandonDuring);
        if (!During || TClock::now() - During->At < 300ms)
            return;
        ReadBackSeen = ReadBackSeen || !ReadBackFiles().empty();
        Job->Abandon();
    };
    EXPECT_EQ(Job->Run(), TUpdateOutcome::Abandoned);
    EXPECT_EQ(Texts().back(), "Error after read");
    EXPECT_EQ(Find("Update Done"), nullptr);
    EXPECT_TRUE(ReadBackFiles().empty());
    if (std::string(GetParam().AbandonDuring) == "Read Firmware") {
        EXPECT_TRUE(ReadBackSeen) << "the read-back file existed while the read ran";
    }
    EXPECT_TRUE(WaitUntil([&] { return Worker->Idle(); }, LinkBound));
}

INSTANTIATE_TEST_SUITE_P(Stages, AbandonedUpdate,
                         testing::Values(TAbandonCase{"InTheWrite", "Write Firmware"},
                                         TAbandonCase{"InTheReadBack", "Read Firmware"}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// ---- The progress tick ----

TEST_F(FirmwareUpdateTest, ProgressStartsAtZeroIsTruncatedAndEndsFull)
{
    SaveFile(Image, Pattern(1000, 19)); // 8 blocks, FEndAddress 0x83E7
    TSimSettings Settings;
    Settings.ProgramDelay = 700ms; // the first tick comes before the first acknowledgement
    Connect(Settings);
    ASSERT_EQ(Job->Run(), TUpdateOutcome::Done);
    const std::vector<int>& Positions = Find("Write Firmware")->Positions;
    ASSERT_GE(Positions.size(), 3u);
    EXPECT_EQ(Positions.front(), 0);
    EXPECT_EQ(Positions.back(), 100);
    // Block k done: k * 128 / 999 * 100, truncated; rounding would give 13, 77 or 90.
    const std::vector<int> Truncated = {0, 12, 25, 38, 51, 64, 76, 89, 100};
    for (int Position : Positions)
        EXPECT_NE(std::find(Truncated.begin(), Truncated.end(), Position), Truncated.end()) << Position;
    EXPECT_TRUE(std::any_of(Positions.begin(), Positions.end(), [](int P) { return P > 0 && P < 100; }));
}

TEST_F(FirmwareUpdateTest, RunThatEndsBeforeTheFirstTickStillWaitsForIt)
{
    SaveFile(Image, Pattern(100, 20)); // one block
    Connect();
    ASSERT_EQ(Job->Run(), TUpdateOutcome::Done);
    const TShown* Write = Find("Write Firmware");
    const TShown* Read = Find("Read Firmware");
    ASSERT_TRUE(Write && Read);
    EXPECT_GE(Read->At - Write->At, 450ms);
    EXPECT_EQ(Write->Positions, std::vector<int>{100});
}

// The command line's host: its timer never needs to tick for the job to learn that a run ended.
TEST_F(FirmwareUpdateTest, TakingEndsAtOnceNeedsNoTickAndReadsTheBootLine)
{
    SaveFile(Image, Pattern(300, 20)); // three blocks
    ASSERT_TRUE(TSimulatedDeviceTest::Connect({}, PollPause));
    TUpdateHooks Hooks = this->Hooks();
    Hooks.TakeEndsAtOnce = true;
    Hooks.StartTimer = [] {};
    Job = std::make_unique<TFirmwareUpdate>(*Worker, Hooks);
    Job->SetImageFile(Image.string());
    Job->SetStallLimit(5s); // what a wait for a tick would end in
    EXPECT_EQ(Job->Run(), TUpdateOutcome::Done);
    EXPECT_EQ(Job->BootReply(), "BOOT VER 1.05");
    const TShown* Write = Find("Write Firmware");
    ASSERT_TRUE(Write && !Write->Positions.empty());
    EXPECT_EQ(Write->Positions.back(), 100);
}

} // namespace
