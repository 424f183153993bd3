// sw30415 read and verify against the simulated device: the file holds what the device holds, or
// is not there at all; the device hears no write request; the record says so.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <optional>

#include "CliProgram.h"
#include "MemoryMap.h"

namespace {

enum class TOutBefore { None, File, Link };

struct TReadVerifyCase {
    const char* Name;
    std::vector<std::string> Arguments; // read: --out names out.bin; verify: --image names the image
    TOutBefore Before;
    std::optional<size_t> Changed; // the image's byte that the device holds otherwise
    void (*Change)(TSimSettings&);
    int ExitCode;
    const char* Text;  // the last status line
    bool OutIsImage;   // out.bin holds the image (read); otherwise what was there before, or nothing
};
void PrintTo(const TReadVerifyCase& Case, std::ostream* Out) { *Out << Case.Name; }

using ReadVerify = TProgramCases<TReadVerifyCase>;

TEST_P(ReadVerify, EndsWithTheOutcomeLeavesNoHalfFileAndWritesNothing)
{
    const TReadVerifyCase& Case = GetParam();
    const TBytes Image = Pattern(1000, 41);
    TBytes Held = Image;
    if (Case.Changed)
        Held[*Case.Changed] ^= 1;
    const auto Sim = StartDevice(Case.Change, FirmwareStart, Held);
    const auto Out = Folder.Path() / "out.bin";
    const auto Target = Folder.Path() / "target.bin";
    const TBytes Old = Pattern(10, 7);
    SaveFile(Folder.Path() / "image.sim", Image);
    SaveFile(Target, Old);
    if (Case.Before == TOutBefore::File)
        SaveFile(Out, Old);
    if (Case.Before == TOutBefore::Link)
        std::filesystem::create_symlink(Target, Out);

    const auto Records = Folder.Path() / "records.jsonl";
    std::vector<std::string> Arguments = Case.Arguments;
    Arguments.insert(Arguments.begin() + 1, {"--port", Sim->PortPath(), "--record", Records.string()});
    for (std::string& Argument : Arguments)
        if (Argument == "out.bin" || Argument == "image.sim")
            Argument = (Folder.Path() / Argument).string();
    TProgram Program(Arguments, Folder.Path());
    EXPECT_EQ(Program.Wait(), Case.ExitCode) << Program.Out() << Program.Err();
    if (*Case.Text) {
        EXPECT_NE(Program.Out().find(std::string(Case.Text) + "\n"), std::string::npos) << Program.Out();
    }
    const auto Log = Sim->RequestLog();
    EXPECT_TRUE(std::none_of(Log.begin(), Log.end(), [](const std::string& Line) { return Line.starts_with("WRITE"); }));
    // Arguments are refused before the port opens.
    EXPECT_EQ(Log.empty(), Case.ExitCode == 2);
    EXPECT_TRUE(FilesEndingWith(Folder.Path(), ".part").empty());
    EXPECT_TRUE(FilesEndingWith(Folder.Path(), ".b79").empty());
    // One record line for a run that reached the device, without a write run; read's names its file
    // with the image's size and SHA-256 (as sha256sum gives it).
    const TBytes Bytes = LoadFile(Records);
    const std::string Record(Bytes.begin(), Bytes.end());
    EXPECT_EQ(std::count(Record.begin(), Record.end(), '\n'), Case.ExitCode == 2 ? 0 : 1) << Record;
    const std::string Fields[] = {
        R"("command":")" + Case.Arguments.front() + R"(",)",
        R"("status":")" + std::string(Case.Text) + R"(","exit_code":)" + std::to_string(Case.ExitCode) + ",",
        R"("mac_address":"0x 02 00 53 30 41 50")", R"("write":null,"read":{"seconds":)",
        Case.OutIsImage ? R"("out":{"file":")" + Out.string() + R"(","size":1000,"sha256":"069add001e27167860606fc6dc936d6589d24fe1436417c6991db550c897dd0d"})"
                        : std::string()};
    for (const std::string& Field : Fields)
        EXPECT_TRUE(Case.ExitCode == 2 || Record.find(Field) != std::string::npos) << Field << " in " << Record;
    // A link's target is never written through.
    EXPECT_EQ(LoadFile(Target), Old);
    if (Case.OutIsImage) {
        EXPECT_EQ(LoadFile(Out), Image);
        EXPECT_FALSE(std::filesystem::is_symlink(Out));
    } else if (Case.Before == TOutBefore::None) {
        EXPECT_FALSE(std::filesystem::exists(Out));
    } else {
        EXPECT_EQ(LoadFile(Out), Old);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadVerify,
    testing::Values(
        TReadVerifyCase{"ReadGivesTheImage", {"read", "--out", "out.bin", "--size", "01000"}, TOutBefore::None, {},
                        nullptr, 0, "Read Done", true},
        TReadVerifyCase{"ReadKeepsAFileThere", {"read", "--out", "out.bin", "--size", "1000"}, TOutBefore::File, {},
                        nullptr, 2, "", false},
        TReadVerifyCase{"ReadReplacesALinkNotItsTarget", {"read", "--out", "out.bin", "--size", "$3E8", "--force"},
                        TOutBefore::Link, {}, nullptr, 0, "Read Done", true},
        TReadVerifyCase{"ReadUnpluggedLeavesNothing", {"read", "--out", "out.bin", "--size", "1000", "--force"},
                        TOutBefore::File, {}, [](TSimSettings& S) { S.HangUpAfterReads = 4; }, 10,
                        "The link to the device was lost during the read", false},
        TReadVerifyCase{"VerifyFlashed", {"verify", "--image", "image.sim"}, TOutBefore::None, {}, nullptr, 0,
                        "Verify Done", false},
        TReadVerifyCase{"VerifyOneByteChanged", {"verify", "--image", "image.sim"}, TOutBefore::None,
                        999, nullptr, 9, "Error after read", false}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(ReadVerifyInterrupt, SignalLeavesNoFileNorTemporaryAndIsRecorded)
{
    // Paced at 115200 baud 60 blocks take about two seconds; at 9600 the signal after the boot reply
    // comes in the checks.
    const std::tuple<int, unsigned, size_t, std::string> Cases[] = {{SIGINT, 115200, 30, "Read Firmware (interrupted)"},
                                                                    {SIGHUP, 115200, 30, "Read Firmware (interrupted)"},
                                                                    {SIGHUP, 9600, 1, "interrupted"}};
    for (const auto& [Signal, Baud, Requests, Status] : Cases) {
        SCOPED_TRACE(Status);
        const TTempFolder Folder("read-interrupt-test");
        TSimSettings Paced;
        Paced.Baud = Baud;
        TDeviceSimulator Sim(Paced);
        Sim.Start();
        const auto Out = Folder.Path() / "out.bin";
        const auto Records = Folder.Path() / "records.jsonl";
        TProgram Program({"read", "--port", Sim.PortPath(), "--out", Out.string(), "--size", std::to_string(128 * 60),
                          "--record", Records.string()},
                         Folder.Path());
        ASSERT_TRUE(WaitUntil([&] { return Sim.RequestLog().size() >= Requests; }, ProgramBound)) << Program.Out();
        Program.Signal(Signal);
        EXPECT_EQ(Program.Wait(), 130);
        EXPECT_FALSE(std::filesystem::exists(Out));
        EXPECT_TRUE(FilesEndingWith(Folder.Path(), ".part").empty());
        const TBytes Record = LoadFile(Records);
        EXPECT_NE(std::string(Record.begin(), Record.end()).find(R"("status":")" + Status + R"(","exit_code":130,)"),
                  std::string::npos);
    }
}

TEST(ReadVerifySeveralPorts, OneFilePerPortNamedAfterThePort)
{
    const TTempFolder Folder("read-ports-test");
    const TBytes Held[] = {Pattern(300, 51), Pattern(300, 52)};
    const auto First = StartDevice(nullptr, FirmwareStart, Held[0]);
    const auto Second = StartDevice(nullptr, FirmwareStart, Held[1]);
    TProgram Program({"read", "--port", First->PortPath(), "--port", Second->PortPath(), "--out",
                      (Folder.Path() / "unit.bin").string(), "--size", "300"},
                     Folder.Path());
    EXPECT_EQ(Program.Wait(), 0) << Program.Out() << Program.Err();
    const auto FileOf = [&](const auto& Sim) {
        return Folder.Path() / ("unit-" + std::filesystem::path(Sim->PortPath()).filename().string() + ".bin");
    };
    EXPECT_EQ(LoadFile(FileOf(First)), Held[0]);
    EXPECT_EQ(LoadFile(FileOf(Second)), Held[1]);
}

} // namespace
