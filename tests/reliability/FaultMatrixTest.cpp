// sw30415 update against a device that misbehaves in one way per row: the texts and the exit code
// it ends with, within its bound, with no read-back file left behind, "Update Done" only where the
// device holds the image, and a healthy device updated right after.
#include <gtest/gtest.h>

#include "ChildProgram.h"
#include "DeviceSimulator.h"
#include "FrameCodec.h"
#include "MemoryMap.h"

using namespace std::chrono_literals;

namespace {

// The longest row: a device that stops answering costs the run's 30 s stall limit.
constexpr size_t ImageSize = 40 * BlockDataSize + 77; // 41 blocks, the last one partly filled

struct TFaultCase {
    const char* Name;
    void (*Fault)(TSimSettings&);
    int ExitCode;
    std::vector<std::string> Lines; // printed in this order
};
void PrintTo(const TFaultCase& Case, std::ostream* Out) { *Out << Case.Name; }

const std::vector<std::string> Done = {"Write Firmware", "Read Firmware", "Update Done"};
const std::vector<std::string> WriteFailed = {"Write Firmware", "Error after read"};
const std::vector<std::string> ReadFailed = {"Write Firmware", "Read Firmware", "Error after read"};

class FaultMatrix : public testing::TestWithParam<TFaultCase> {
protected:
    struct TUpdate {
        int ExitCode;
        std::string Out;
        std::string Err;
    };

    TUpdate Update(const std::string& Port, const std::filesystem::path& Image)
    {
        TChildProgram Program(CLI_PROGRAM, {"update", "--port", Port, "--image", Image.string()}, Folder.Path());
        const int Code = Program.Wait(ProgramBound);
        return {Code, Program.Out(), Program.Err()};
    }

    static bool HoldsImage(TDeviceSimulator& Sim, const TBytes& Image)
    {
        return Sim.Memory().Read(FirmwareStart, static_cast<uint32_t>(Image.size())) == Image;
    }

    TTempFolder Folder{"fault-matrix-test"};
};

TEST_P(FaultMatrix, EndsWithTheOutcomesTextAndCodeAndLeavesTheDeviceUsable)
{
    const TFaultCase& Case = GetParam();
    const auto Memory = Folder.Path() / "device.mem";
    const auto ImagePath = Folder.Path() / "image.sim";
    const TBytes Image = Pattern(ImageSize, 31);
    SaveFile(ImagePath, Image);

    TSimSettings Faulty;
    Case.Fault(Faulty);
    Faulty.MemoryFile = Memory.string();
    TDeviceSimulator Sim(Faulty);
    Sim.Start();
    const TUpdate Run = Update(Sim.PortPath(), ImagePath);
    Sim.Stop(); // saves the memory for the healthy device below

    EXPECT_EQ(Run.ExitCode, Case.ExitCode) << Run.Out << Run.Err;
    size_t From = 0;
    for (const std::string& Line : Case.Lines) {
        const size_t At = Run.Out.find(Line + "\n", From);
        EXPECT_NE(At, std::string::npos) << "missing or out of order: " << Line << "\n" << Run.Out;
        From = At == std::string::npos ? From : At + Line.size();
    }
    const bool SaidDone = Run.Out.find("Update Done") != std::string::npos;
    EXPECT_EQ(SaidDone, Case.ExitCode == 0) << Run.Out;
    if (SaidDone) {
        EXPECT_TRUE(HoldsImage(Sim, Image)) << "Update Done, but the device does not hold the image";
    }
    EXPECT_TRUE(FilesEndingWith(Folder.Path(), ".b79").empty());

    // The same device memory, now on a device that behaves and carries its own code.
    TSimSettings Healthy;
    Healthy.MemoryFile = Memory.string();
    Healthy.ProtectionWord = DeviceCode;
    TDeviceSimulator Next(Healthy);
    Next.Start();
    const auto GoodPath = Folder.Path() / "good.sim";
    const TBytes Good = Pattern(ImageSize, 32);
    SaveFile(GoodPath, Good);
    const TUpdate Again = Update(Next.PortPath(), GoodPath);
    Next.Stop();
    EXPECT_EQ(Again.ExitCode, 0) << Again.Out << Again.Err;
    EXPECT_TRUE(HoldsImage(Next, Good));
    EXPECT_TRUE(FilesEndingWith(Folder.Path(), ".b79").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultMatrix,
    testing::Values(
        // One acknowledgement lost: the block goes again after the 11 s of silence.
        TFaultCase{"DroppedAck", [](TSimSettings& S) { S.DropAckEvery = 30; }, 0, Done},
        TFaultCase{"CorruptReadReply", [](TSimSettings& S) { S.CorruptReadEvery = 10; }, 0, Done},
        TFaultCase{"BadFlashCell", [](TSimSettings& S) { S.BadCell = FirmwareStart + 0x310; }, 9,
                   ReadFailed},
        TFaultCase{"NoBootReply", [](TSimSettings& S) { S.BootReply = false; }, 4,
                   {"The device isn't on Boot Mode"}},
        TFaultCase{"WrongDeviceCode", [](TSimSettings& S) { S.ProtectionWord = 79; }, 5,
                   {"You cannot use this software for this device"}},
        TFaultCase{"SplitAck", [](TSimSettings& S) { S.SplitAckEvery = 7; }, 0, Done},
        TFaultCase{"HangUpMidWrite", [](TSimSettings& S) { S.HangUpAfterBlocks = 12; }, 10,
                   WriteFailed},
        // The protection word's read is the first.
        TFaultCase{"HangUpMidRead", [](TSimSettings& S) { S.HangUpAfterReads = 1 + 20; }, 10,
                   ReadFailed},
        TFaultCase{"StopsAnswering", [](TSimSettings& S) { S.SilentAfterBlocks = 9; }, 10,
                   WriteFailed},
        TFaultCase{"GarbageReplies", [](TSimSettings& S) { S.GarbageReplyEvery = 9; }, 0, Done},
        TFaultCase{"OverlongReplies", [](TSimSettings& S) { S.OverlongReplyEvery = 5; }, 0, Done}),
    [](const auto& Info) { return std::string(Info.param.Name); });

} // namespace
