// sw30415 run as a program against the simulated device: what it prints and how it exits.
#include <gtest/gtest.h>

#include <csignal>

#include "CliProgram.h"
#include "DeviceSimulator.h"
#include "TestFiles.h"
#include "WaitUntil.h"

using namespace std::chrono_literals;

namespace {

enum class TImage { Good, Missing, Empty, Default };

struct TCliCase {
    const char* Name;
    const char* Command;
    TSimSettings Settings;
    TImage Image;
    int ExitCode;
    std::vector<std::string> Lines; // printed in this order, each on a line of its own
};
void PrintTo(const TCliCase& Case, std::ostream* Out) { *Out << Case.Name; }

using CliAgainstDevice = TProgramCases<TCliCase>;

TEST_P(CliAgainstDevice, PrintsTheStatusTextsAndExitsWithTheOutcomesCode)
{
    const TCliCase& Case = GetParam();
    TDeviceSimulator Sim(Case.Settings);
    Sim.Start();
    const auto Image = Folder.Path() / "image.sim";
    std::vector<std::string> Arguments = {Case.Command, "--port", Sim.PortPath()};
    if (Case.Image == TImage::Good)
        SaveFile(Image, Pattern(1000, 21));
    if (Case.Image == TImage::Empty)
        SaveFile(Image, {});
    if (Case.Image != TImage::Default && std::string(Case.Command) == "update")
        Arguments.insert(Arguments.end(), {"--image", Image.string()});

    TProgram Program(Arguments, Folder.Path());
    EXPECT_EQ(Program.Wait(), Case.ExitCode) << Program.Err();
    const std::string Out = Program.Out();
    size_t From = 0;
    for (const std::string& Line : Case.Lines) {
        const size_t At = Out.find(Line + "\n", From);
        EXPECT_NE(At, std::string::npos) << "missing or out of order: " << Line << "\n" << Out;
        From = At == std::string::npos ? From : At + Line.size();
    }
    EXPECT_EQ(Out.find("Update Done"), Case.ExitCode == 0 ? Out.rfind("Update Done") : std::string::npos);
    EXPECT_TRUE(FilesEndingWith(Folder.Path(), ".b79").empty());
}

TSimSettings Settings(void (*Change)(TSimSettings&))
{
    TSimSettings S;
    Change(S);
    return S;
}

const char* const NoImageText = "The Firmware file isn't in MASTER folder";

INSTANTIATE_TEST_SUITE_P(
    Outcomes, CliAgainstDevice,
    testing::Values(
        TCliCase{"Done", "update", {}, TImage::Good, 0, {"Write Firmware", "Read Firmware", "Update Done"}},
        TCliCase{"NotInBootMode", "update", Settings([](TSimSettings& S) { S.BootReply = false; }), TImage::Good, 4,
                 {"The device isn't on Boot Mode"}},
        TCliCase{"WrongDevice", "update", Settings([](TSimSettings& S) { S.ProtectionWord = 79; }), TImage::Good,
                 5, {"You cannot use this software for this device"}},
        TCliCase{"NoImage", "update", {}, TImage::Missing, 6, {NoImageText}},
        TCliCase{"NoImageBesideTheProgram", "update", {}, TImage::Default, 6, {NoImageText}},
        TCliCase{"WriteNotStarted", "update", {}, TImage::Empty, 7,
                 {"Error in Write Firmware", "Read Firmware", "Error after read"}},
        TCliCase{"VerifyFailed", "update", Settings([](TSimSettings& S) { S.BadCell = 0x8010; }), TImage::Good, 9,
                 {"Write Firmware", "Read Firmware", "Error after read"}},
        TCliCase{"LinkLost", "update", Settings([](TSimSettings& S) { S.HangUpAfterBlocks = 8; }), TImage::Good,
                 10, {"Write Firmware", "Read Firmware", "Error after read"}},
        TCliCase{"CheckFindsTheDevice", "check", {}, TImage::Default, 0,
                 {"Boot mode: yes, \"BOOT VER 1.05\"", "Protection word: 0x0000004E"}},
        TCliCase{"CheckWithoutBootLoader", "check", Settings([](TSimSettings& S) { S.BootReply = false; }),
                 TImage::Default, 4, {"Boot mode: no boot loader reply"}},
        TCliCase{"CheckOtherBootReply", "check", Settings([](TSimSettings& S) { S.BootText = "boot ver 2\r\n"; }),
                 TImage::Default, 4, {"Boot mode: no; the device answered \"boot ver 2\""}},
        TCliCase{"CheckWrongDevice", "check", Settings([](TSimSettings& S) { S.ProtectionWord = 0x4E000000; }),
                 TImage::Default, 5, {"Protection word: 0x4E000000", "Device: not one this tool serves"}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

struct TArgumentCase {
    const char* Name;
    std::vector<std::string> Arguments;
    int ExitCode;
    const char* Said; // in the output or the error output
};
void PrintTo(const TArgumentCase& Case, std::ostream* Out) { *Out << Case.Name; }

using CliArguments = TProgramCases<TArgumentCase>;

TEST_P(CliArguments, NameWhatIsWrongOrAnswerAtOnce)
{
    TProgram Program(GetParam().Arguments, Folder.Path());
    EXPECT_EQ(Program.Wait(), GetParam().ExitCode);
    EXPECT_NE((Program.Out() + Program.Err()).find(GetParam().Said), std::string::npos)
        << Program.Out() << Program.Err();
}

INSTANTIATE_TEST_SUITE_P(
    Table, CliArguments,
    testing::Values(TArgumentCase{"NoSubcommand", {}, 2, "subcommand"},
                    TArgumentCase{"PortMissing", {"update"}, 2, "--port"},
                    TArgumentCase{"PortValueMissing", {"check", "--port"}, 2, "--port"},
                    TArgumentCase{"UnknownOption", {"update", "--port", "x", "--speed", "9"}, 2, "--speed"},
                    TArgumentCase{"UnknownSubcommand", {"flash"}, 2, "flash"},
                    TArgumentCase{"ReadOutMissing", {"read", "--port", "x"}, 2, "--out"},
                    TArgumentCase{"ReadSizeBeyondTheArea", {"read", "--port", "x", "--out", "f", "--size", "114689"}, 2, "--size"},
                    TArgumentCase{"VerifyPortMissing", {"verify"}, 2, "--port"},
                    TArgumentCase{"PortNotOpened", {"update", "--port", "ttyNoSuchPort"}, 3, "/dev/ttyNoSuchPort is not there"},
                    TArgumentCase{"Version", {"--version"}, 0, SW_TEST_VERSION},
                    TArgumentCase{"HelpListsExitCodes", {"--help"}, 0, "130  interrupted"},
                    TArgumentCase{"UpdateHelpListsExitCodes", {"update", "--help"}, 0, "10   the run stalled"},
                    TArgumentCase{"MacHelpListsExitCodes", {"mac", "--help"}, 0, "12   a parameter write"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(CliInterrupt, CtrlCAbandonsTheReadBackDeletesItsFileAndReleasesThePort)
{
    const TTempFolder Folder("cli-interrupt-test");
    TSimSettings Paced;
    Paced.Baud = 115200; // the read-back of 60 blocks lasts about two seconds
    TDeviceSimulator Sim(Paced);
    Sim.Start();
    const auto Image = Folder.Path() / "image.sim";
    SaveFile(Image, Pattern(128 * 60, 22));
    TProgram Program({"update", "--port", Sim.PortPath(), "--image", Image.string()}, Folder.Path());
    ASSERT_TRUE(WaitUntil([&] { return !FilesEndingWith(Folder.Path(), ".b79").empty(); }, ProgramBound))
        << Program.Out();
    Program.Signal(SIGINT);
    EXPECT_EQ(Program.Wait(), 130);
    EXPECT_TRUE(FilesEndingWith(Folder.Path(), ".b79").empty());
    EXPECT_EQ(Program.Out().find("Update Done"), std::string::npos);
    EXPECT_NE(Program.Err().find("interrupted"), std::string::npos);

    TProgram Check({"check", "--port", Sim.PortPath()}, Folder.Path());
    EXPECT_EQ(Check.Wait(), 0) << Check.Out() << Check.Err();
}

} // namespace
