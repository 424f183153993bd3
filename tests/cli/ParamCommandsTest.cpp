// sw30415's parameter commands and port list as a program against the simulated device: what a
// read prints, what a write leaves in the device's memory, and values refused before anything is sent.
#include <gtest/gtest.h>

#include "CliProgram.h"
#include "DeviceSimulator.h"
#include "PortList.h"

namespace {

struct TParamCase {
    const char* Name;
    std::vector<std::string> Arguments; // without --port
    uint32_t Address;
    TBytes Held;   // in the device at Address before the run
    TBytes Stored; // at Address after the run; empty: not looked at
    int ExitCode;
    std::string Out;
    void (*Fault)(TSimSettings&) = nullptr;
};
void PrintTo(const TParamCase& Case, std::ostream* Out) { *Out << Case.Name; }

using ParamCommandsAgainstDevice = TProgramCases<TParamCase>;

TEST_P(ParamCommandsAgainstDevice, PrintWhatTheWindowShowsAndLeaveTheWrittenBytesInTheDevice)
{
    const TParamCase& Case = GetParam();
    const auto Sim = StartDevice(Case.Fault, Case.Address, Case.Held);
    std::vector<std::string> Arguments = Case.Arguments;
    Arguments.insert(Arguments.end(), {"--port", Sim->PortPath()});

    TProgram Program(Arguments, Folder.Path());
    EXPECT_EQ(Program.Wait(), Case.ExitCode) << Program.Err();
    EXPECT_EQ(Program.Out(), Case.Out);
    if (!Case.Stored.empty()) {
        EXPECT_EQ(Sim->Memory().Read(Case.Address, static_cast<uint32_t>(Case.Stored.size())), Case.Stored);
    }
}

const TBytes Erased(10, 0xFF);

INSTANTIATE_TEST_SUITE_P(
    Runs, ParamCommandsAgainstDevice,
    testing::Values(
        TParamCase{"ProtectionRead", {"protection"}, 0x3F000, {0xA5, 0x01, 0x02, 0x4E}, {}, 0, "A501024E\n"},
        TParamCase{"ProtectionWrite", {"protection", "--write", "0x12345678"}, 0x3F000, Erased,
                   {0x12, 0x34, 0x56, 0x78, 0xFF}, 0, "written\n"},
        TParamCase{"MacRead", {"mac"}, 0x3F004, {0x00, 0x11, 0x22, 0x33, 0xAA, 0xBB}, {}, 0, "0x 00 11 22 33 AA BB\n"},
        TParamCase{"MacWrite", {"mac", "--write", "0x00112233AABB"}, 0x3F000, Erased,
                   {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x11, 0x22, 0x33, 0xAA, 0xBB}, 0, "written\n"},
        TParamCase{"SettingsRead", {"settings"}, 0x24000, {9, 2, 7, 0}, {}, 0, "115200 ODD 38400 NONE\n"},
        TParamCase{"SettingsWrite", {"settings", "--write", "115200", "NONE", "9600", "EVEN"}, 0x24000, Erased,
                   {9, 0, 5, 1, 0xFF}, 0, "written\n"},
        TParamCase{"WriteAll", {"write-all", "--protection", "78", "--mac", "$00112233aabb"}, 0x3F000, Erased,
                   {0x00, 0x00, 0x00, 0x4E, 0x00, 0x11, 0x22, 0x33, 0xAA, 0xBB}, 0, "written\n"},
        TParamCase{"ProtectionReadFails", {"protection"}, 0x3F000, {}, {}, 11, "Error in Read Protection!\n",
                   [](TSimSettings& S) { S.CorruptReadEvery = 1; }},
        TParamCase{"SettingsReadFails", {"settings"}, 0x24000, {}, {}, 11, "Error in Read Data!\n",
                   [](TSimSettings& S) { S.CorruptReadEvery = 1; }},
        TParamCase{"WriteReadsBackOtherwise", {"protection", "--write", "0x12345678"}, 0x3F000, {}, {}, 12, "",
                   [](TSimSettings& S) { S.BadCell = 0x3F003; }}),
    [](const auto& Info) { return std::string(Info.param.Name); });

struct TRefusal {
    const char* Name;
    std::vector<std::string> Arguments; // without --port
    const char* Argument;               // named at the start of the message
    const char* Accepted;               // from the accepted forms in the message
    const char* Port = nullptr;         // the simulator's when none
};
void PrintTo(const TRefusal& Case, std::ostream* Out) { *Out << Case.Name; }

using ParamRefusals = TProgramCases<TRefusal>;

TEST_P(ParamRefusals, NameTheArgumentAndTheAcceptedFormsAndSendNothing)
{
    const TRefusal& Case = GetParam();
    TDeviceSimulator Sim(TSimSettings{});
    Sim.Start();
    std::vector<std::string> Arguments = Case.Arguments;
    Arguments.insert(Arguments.end(), {"--port", Case.Port ? Case.Port : Sim.PortPath()});

    TProgram Program(Arguments, Folder.Path());
    EXPECT_EQ(Program.Wait(), 2);
    const std::string Err = Program.Err();
    // One line, said as the program's own refusals are.
    EXPECT_EQ(Err.rfind(std::string("sw30415: ") + Case.Argument, 0), 0u) << Err;
    EXPECT_EQ(Err.find('\n'), Err.size() - 1) << Err;
    EXPECT_NE(Err.find(Case.Accepted), std::string::npos) << Err;
    EXPECT_EQ(Program.Out(), "");
    EXPECT_TRUE(Sim.RequestLog().empty());
}

const char* const HexForms = "behind $, x, X, 0x or 0X";

INSTANTIATE_TEST_SUITE_P(
    Table, ParamRefusals,
    testing::Values(
        TRefusal{"ProtectionTrailingBlank", {"protection", "--write", "0x12 "}, "--write: \"0x12 \"", HexForms},
        TRefusal{"ProtectionDecimalBeyondItsRange", {"protection", "--write", "2147483648"}, "--write", HexForms},
        TRefusal{"MacWiderThan48Bits", {"mac", "--write", "0x1000000000000"}, "--write", "at most 48 bits"},
        TRefusal{"MacNegative", {"mac", "--write", "-1"}, "--write: \"-1\" is wider than 48 bits", HexForms},
        TRefusal{"SettingsUnknownBaud", {"settings", "--write", "100", "NONE", "9600", "NONE"}, "--write USB_BAUD",
                 "300 600 1200 2400 4800 9600 19200 38400 57600 115200\n"},
        TRefusal{"SettingsMeterBaudBeyondItsList", {"settings", "--write", "9600", "NONE", "57600", "NONE"},
                 "--write METER_BAUD", "19200 38400\n"},
        TRefusal{"WriteAllBadProtection", {"write-all", "--protection", "x", "--mac", "0"}, "--protection", HexForms},
        TRefusal{"WriteAllMacTooWide", {"write-all", "--protection", "78", "--mac", "$1000000000000"}, "--mac",
                 "48 bits"},
        TRefusal{"BeforeThePortIsOpened", {"mac", "--write", "x"}, "--write", HexForms, "/nonexistent/ttyX"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(PortsCommand, ListsThePortsTheWindowListsOneALine)
{
    const TTempFolder Folder("cli-ports-test");
    TProgram Program({"ports"}, Folder.Path());
    EXPECT_EQ(Program.Wait(), 0) << Program.Err();
    std::string Expected;
    for (const std::string& Port : ListSerialPorts())
        Expected += Port + "\n";
    EXPECT_EQ(Program.Out(), Expected);
}

} // namespace
