// sw30415 run as a program against the simulated device: what it prints and how it exits.
#include <gtest/gtest.h>

#include <csignal>

#include <sys/stat.h>

#include "CliProgram.h"
#include "DeviceSimulator.h"
#include "TestFiles.h"
#include "WaitUntil.h"

using namespace std::chrono_literals;

namespace {

enum class TImage { Good, Default };

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

INSTANTIATE_TEST_SUITE_P(
    Outcomes, CliAgainstDevice,
    testing::Values(
        TCliCase{"Done", "update", {}, TImage::Good, 0, {"Write Firmware", "Read Firmware", "Update Done"}},
        TCliCase{"NotInBootMode", "update", Settings([](TSimSettings& S) { S.BootReply = false; }), TImage::Good, 4,
                 {"The device isn't on Boot Mode"}},
        TCliCase{"WrongDevice", "update", Settings([](TSimSettings& S) { S.ProtectionWord = 79; }), TImage::Good,
                 5, {"You cannot use this software for this device"}},
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
        TCliCase{"CheckLinkLost", "check", Settings([](TSimSettings& S) { S.HangUpAfterReads = 0; }),
                 TImage::Default, 10, {"Device: the link to the device was lost during the check"}},
        TCliCase{"CheckTypeNotRead", "check", Settings([](TSimSettings& S) { S.CorruptReadEvery = 1; }),
                 TImage::Default, 11, {"Device: its type could not be read, no reply to the protection read checked out"}},
        TCliCase{"CheckWrongDevice", "check", Settings([](TSimSettings& S) { S.ProtectionWord = 0x4E000000; }),
                 TImage::Default, 5, {"Protection word: 0x4E000000", "Device: not one this tool serves"}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// What the image is in a refusal case.
enum class TBadImage { Missing, BesideTheProgram, Empty, TooLarge, Folder, Fifo, DevZero, DevNull };

struct TRefusalCase {
    const char* Name;
    TBadImage Image;
    int ExitCode;
    const char* Rule; // in the error output, after the image's path
    const char* Command = "update";
};
void PrintTo(const TRefusalCase& Case, std::ostream* Out) { *Out << Case.Name; }

using CliImageRefusal = TProgramCases<TRefusalCase>;

TEST_P(CliImageRefusal, NamesTheFileAndTheRuleBeforeAnythingIsSent)
{
    const TRefusalCase& Case = GetParam();
    TDeviceSimulator Sim(TSimSettings{});
    Sim.Start();
    std::string Image = (Folder.Path() / "image.sim").string();
    switch (Case.Image) {
    case TBadImage::Missing: break;
    case TBadImage::BesideTheProgram: Image.clear(); break;
    case TBadImage::Empty: SaveFile(Image, {}); break;
    case TBadImage::TooLarge: SaveFile(Image, Pattern(0x23FFF - 0x8000 + 2, 5)); break;
    case TBadImage::Folder: Image = Folder.Path().string(); break;
    case TBadImage::Fifo: ASSERT_EQ(mkfifo(Image.c_str(), 0600), 0); break;
    case TBadImage::DevZero: Image = "/dev/zero"; break;
    case TBadImage::DevNull: Image = "/dev/null"; break;
    }
    std::vector<std::string> Arguments = {Case.Command, "--port", Sim.PortPath()};
    if (!Image.empty())
        Arguments.insert(Arguments.end(), {"--image", Image});

    TProgram Program(Arguments, Folder.Path());
    EXPECT_EQ(Program.Wait(), Case.ExitCode) << Program.Err();
    EXPECT_NE(Program.Err().find(Image + "\" " + Case.Rule), std::string::npos) << Program.Err();
    EXPECT_TRUE(Sim.RequestLog().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, CliImageRefusal,
    testing::Values(TRefusalCase{"Missing", TBadImage::Missing, 6, "does not exist"},
                    TRefusalCase{"MissingBesideTheProgram", TBadImage::BesideTheProgram, 6, "does not exist"},
                    TRefusalCase{"Empty", TBadImage::Empty, 7, "is empty"},
                    TRefusalCase{"LargerThanTheFirmwareArea", TBadImage::TooLarge, 7, "holds 114689 bytes"},
                    TRefusalCase{"Folder", TBadImage::Folder, 7, "is not a regular file"},
                    TRefusalCase{"Fifo", TBadImage::Fifo, 7, "is not a regular file"},
                    TRefusalCase{"DevZero", TBadImage::DevZero, 7, "is not a regular file"},
                    TRefusalCase{"DevNull", TBadImage::DevNull, 7, "is not a regular file"},
                    TRefusalCase{"VerifyMissing", TBadImage::Missing, 6, "does not exist", "verify"},
                    TRefusalCase{"VerifyEmpty", TBadImage::Empty, 7, "is empty", "verify"}),
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
                    TArgumentCase{"PortMissing", {"update"}, 2, "update: --port or --all-in-boot-mode is required"},
                    TArgumentCase{"PortValueMissing", {"check", "--port"}, 2, "--port"},
                    TArgumentCase{"UnknownOption", {"update", "--port", "x", "--speed", "9"}, 2, "--speed"},
                    TArgumentCase{"UnknownSubcommand", {"flash"}, 2, "flash"},
                    TArgumentCase{"ReadOutMissing", {"read", "--port", "x"}, 2, "--out"},
                    TArgumentCase{"ReadSizeBeyondTheArea", {"read", "--port", "x", "--out", "f", "--size", "114689"}, 2, "--size"},
                    TArgumentCase{"ReadSizeWithALeadingZero", {"read", "--port", "ttyNoSuchPort", "--out", "f", "--size", "08"}, 3, "is not there"},
                    TArgumentCase{"VerifyPortMissing", {"verify"}, 2, "verify: --port or --all-in-boot-mode is required"},
                    TArgumentCase{"PortNotOpened", {"check", "--port", "ttyNoSuchPort"}, 3, "/dev/ttyNoSuchPort is not there"},
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
    // Data in a read-back file: before the port opens, the check that one can be created leaves an
    // empty one for a moment.
    const auto Reading = [&] {
        for (const std::string& Name : FilesEndingWith(Folder.Path(), ".b79")) {
            std::error_code Error;
            const auto Size = std::filesystem::file_size(Folder.Path() / Name, Error);
            if (!Error && Size > 0)
                return true;
        }
        return false;
    };
    ASSERT_TRUE(WaitUntil(Reading, ProgramBound)) << Program.Out();
    Program.Signal(SIGINT);
    EXPECT_EQ(Program.Wait(), 130);
    EXPECT_TRUE(FilesEndingWith(Folder.Path(), ".b79").empty());
    EXPECT_EQ(Program.Out().find("Update Done"), std::string::npos);
    EXPECT_NE(Program.Err().find("interrupted"), std::string::npos) << Program.Out() << Program.Err();

    TProgram Check({"check", "--port", Sim.PortPath()}, Folder.Path());
    EXPECT_EQ(Check.Wait(), 0) << Check.Out() << Check.Err();
}

} // namespace
