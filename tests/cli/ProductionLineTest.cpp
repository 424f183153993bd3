// sw30415 on several simulated devices at once: the probe of a bench of ports, and updates that run
// side by side, where one device's fault must not touch the others' runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <sys/file.h>
#include <sys/ioctl.h>

#include "CliProgram.h"
#include "DeviceSimulator.h"
#include "MemoryMap.h"
#include "PortRunner.h"

namespace {

TSimSettings Settings(void (*Change)(TSimSettings&))
{
    TSimSettings S;
    Change(S);
    return S;
}

// The columns of each line of Out: the parts between runs of two or more blanks.
std::vector<std::vector<std::string>> Rows(const std::string& Out)
{
    std::vector<std::vector<std::string>> Result;
    std::istringstream Lines(Out);
    for (std::string Line; std::getline(Lines, Line);) {
        std::vector<std::string> Columns;
        for (size_t From = 0; From < Line.size();) {
            const size_t Gap = Line.find("  ", From);
            Columns.push_back(Line.substr(From, Gap - From));
            From = Gap == std::string::npos ? Line.size() : Line.find_first_not_of(' ', Gap);
        }
        Result.push_back(Columns);
    }
    return Result;
}

bool HasRow(const std::string& Out, const std::vector<std::string>& Columns)
{
    const auto All = Rows(Out);
    return std::find(All.begin(), All.end(), Columns) != All.end();
}

struct TPortEnd {
    const char* Text;
    int Code;
};

struct TBenchCase {
    const char* Name;
    std::vector<TSimSettings> Devices;
    std::vector<TPortEnd> Ends;
    int ExitCode;
};
void PrintTo(const TBenchCase& Case, std::ostream* Out) { *Out << Case.Name; }

using ProductionUpdate = TProgramCases<TBenchCase>;

TEST_P(ProductionUpdate, EveryPortEndsOnItsOwnAndTheTableNamesTheFailure)
{
    const TBenchCase& Case = GetParam();
    const TBytes Bytes = Pattern(128 * 20 + 40, 31);
    const auto Image = Folder.Path() / "image.sim";
    SaveFile(Image, Bytes);
    std::vector<std::unique_ptr<TDeviceSimulator>> Sims;
    std::vector<std::string> Arguments = {"update", "--image", Image.string()};
    for (const TSimSettings& Device : Case.Devices) {
        Sims.push_back(std::make_unique<TDeviceSimulator>(Device));
        Sims.back()->Start();
        Arguments.insert(Arguments.end(), {"--port", Sims.back()->PortPath()});
    }

    TProgram Program(Arguments, Folder.Path());
    EXPECT_EQ(Program.Wait(), Case.ExitCode) << Program.Err();
    const std::string Out = Program.Out();
    for (size_t I = 0; I < Sims.size(); ++I) {
        const std::string Port = Sims[I]->PortPath();
        const TPortEnd& End = Case.Ends[I];
        // Each status text as a plain line of its port, and a row of the table.
        EXPECT_NE(Out.find(Port + ": " + End.Text + "\n"), std::string::npos) << Out;
        EXPECT_TRUE(HasRow(Out, {Port, End.Text, std::to_string(End.Code)})) << Port << "\n" << Out;
        if (End.Code == 0) {
            EXPECT_EQ(Sims[I]->Memory().Read(FirmwareStart, static_cast<uint32_t>(Bytes.size())), Bytes) << Port;
        }
    }
    EXPECT_TRUE(FilesEndingWith(Folder.Path(), ".b79").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Bench, ProductionUpdate,
    testing::Values(
        TBenchCase{"BadFlashCell",
                   {{}, Settings([](TSimSettings& S) { S.BadCell = FirmwareStart + 700; }), {}},
                   {{"Update Done", 0}, {"Error after read", 9}, {"Update Done", 0}},
                   9},
        TBenchCase{"Unplugged",
                   {Settings([](TSimSettings& S) { S.HangUpAfterBlocks = 5; }), {}, {}},
                   {{"Error after read", 10}, {"Update Done", 0}, {"Update Done", 0}},
                   10},
        TBenchCase{"WrongDeviceFirstFailureDecides",
                   {{}, Settings([](TSimSettings& S) { S.ProtectionWord = 79; }),
                    Settings([](TSimSettings& S) { S.BadCell = FirmwareStart; })},
                   {{"Update Done", 0}, {"You cannot use this software for this device", 5}, {"Error after read", 9}},
                   5}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(ProductionInterrupt, CtrlCAbandonsEveryRunAndDeletesEveryReadBackFile)
{
    const TTempFolder Folder("production-interrupt-test");
    const auto Image = Folder.Path() / "image.sim";
    SaveFile(Image, Pattern(128 * 60, 33));
    TSimSettings Paced;
    Paced.Baud = 115200; // the read-back of 60 blocks lasts about two seconds
    TDeviceSimulator First(Paced);
    TDeviceSimulator Second(Paced);
    First.Start();
    Second.Start();
    TProgram Program({"update", "--port", First.PortPath(), "--port", Second.PortPath(), "--image", Image.string()},
                     Folder.Path());
    ASSERT_TRUE(WaitUntil([&] { return FilesEndingWith(Folder.Path(), ".b79").size() == 2; }, ProgramBound))
        << Program.Out();
    Program.Signal(SIGINT);
    EXPECT_EQ(Program.Wait(), 130);
    const std::string Out = Program.Out();
    for (const TDeviceSimulator* Sim : {&First, &Second})
        EXPECT_TRUE(HasRow(Out, {Sim->PortPath(), "Error after read (interrupted)", "130"})) << Out;
    EXPECT_TRUE(FilesEndingWith(Folder.Path(), ".b79").empty());
}

// Holds a port as another program of this kind would: locked and exclusive.
class THeldPort {
public:
    explicit THeldPort(const std::string& Path) : FDescriptor(open(Path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC))
    {
        if (FDescriptor < 0 || flock(FDescriptor, LOCK_EX | LOCK_NB) != 0)
            throw std::runtime_error("cannot hold " + Path);
        ioctl(FDescriptor, TIOCEXCL);
    }
    ~THeldPort() { close(FDescriptor); }
    THeldPort(const THeldPort&) = delete;
    THeldPort& operator=(const THeldPort&) = delete;

private:
    const int FDescriptor;
};

TEST(PortProbe, TellsBootModeOtherReplySilenceAndBusyApartAndLeavesAHeldPortAlone)
{
    const TTempFolder Folder("port-probe-test");
    TDeviceSimulator Boot({});
    TDeviceSimulator Other(Settings([](TSimSettings& S) { S.BootText = "SW30415 APP 2.1\r\n"; }));
    TDeviceSimulator Silent(Settings([](TSimSettings& S) { S.BootReply = false; }));
    TDeviceSimulator Held({});
    for (TDeviceSimulator* Sim : {&Boot, &Other, &Silent, &Held})
        Sim->Start();
    const THeldPort Hold(Held.PortPath());

    TProgram Program({"ports", "--probe", "--port", Boot.PortPath(), "--port", Other.PortPath(), "--port",
                      Silent.PortPath(), "--port", Held.PortPath()},
                     Folder.Path());
    EXPECT_EQ(Program.Wait(), 0) << Program.Err();
    const std::string Out = Program.Out();
    EXPECT_TRUE(HasRow(Out, {Boot.PortPath(), R"(boot mode: "BOOT VER 1.05")"})) << Out;
    EXPECT_TRUE(HasRow(Out, {Other.PortPath(), R"(answered "SW30415 APP 2.1", not in boot mode)"})) << Out;
    EXPECT_TRUE(HasRow(Out, {Silent.PortPath(), "no answer"})) << Out;
    EXPECT_TRUE(HasRow(Out, {Held.PortPath(), "busy (held by another program)"})) << Out;
    EXPECT_EQ(Boot.RequestLog(), std::vector<std::string>{"BOOT answered"});
    EXPECT_EQ(Silent.RequestLog(), std::vector<std::string>{"BOOT silent"});
    EXPECT_TRUE(Held.RequestLog().empty());
}

TEST(PortProbe, LeavesTheSystemsConsolesAlone)
{
    TDeviceSimulator Console({});
    TDeviceSimulator Boot({});
    Console.Start();
    Boot.Start();
    const std::vector<TProbeResult> Results = ProbePorts({Console.PortPath(), Boot.PortPath()}, {Console.PortPath()});
    ASSERT_EQ(Results.size(), 2u);
    EXPECT_EQ(ProbeText(Results[0]), "skipped (system console)");
    EXPECT_EQ(Results[1].State, TProbeState::BootMode);
    EXPECT_TRUE(Console.RequestLog().empty());
}

TEST(PortProbe, AllInBootModeUpdatesOnlyTheDevicesInBootMode)
{
    const TTempFolder Folder("all-in-boot-mode-test");
    const TBytes Bytes = Pattern(600, 32);
    const auto Image = Folder.Path() / "image.sim";
    SaveFile(Image, Bytes);
    TDeviceSimulator Boot({});
    TDeviceSimulator Silent(Settings([](TSimSettings& S) { S.BootReply = false; }));
    Boot.Start();
    Silent.Start();

    TProgram Program({"update", "--all-in-boot-mode", "--port", Silent.PortPath(), "--port", Boot.PortPath(),
                      "--image", Image.string()},
                     Folder.Path());
    EXPECT_EQ(Program.Wait(), 0) << Program.Err();
    const std::string Out = Program.Out();
    EXPECT_TRUE(HasRow(Out, {Boot.PortPath(), "Update Done", "0"})) << Out;
    EXPECT_EQ(Out.find(Silent.PortPath()), std::string::npos) << Out;
    EXPECT_EQ(Boot.Memory().Read(FirmwareStart, static_cast<uint32_t>(Bytes.size())), Bytes);
    EXPECT_EQ(Silent.RequestLog(), std::vector<std::string>{"BOOT silent"});
}

} // namespace
