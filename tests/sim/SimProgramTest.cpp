#include "PtyPair.h"
#include "RawPort.h"
#include "SimOptions.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// sw30415-sim as a child process, its stdout on a pipe.
class TSimProcess {
public:
    explicit TSimProcess(std::vector<std::string> Arguments)
    {
        Arguments.insert(Arguments.begin(), SIM_PROGRAM);
        std::vector<char*> argv;
        for (auto& argument : Arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        int out[2];
        if (pipe(out) != 0)
            throw std::runtime_error("pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        const int failed = posix_spawn(&FPid, SIM_PROGRAM, &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        FOut = out[0];
        if (failed)
            throw std::runtime_error("cannot start " SIM_PROGRAM);
    }

    ~TSimProcess()
    {
        if (FPid > 0) {
            kill(FPid, SIGKILL);
            waitpid(FPid, nullptr, 0);
        }
        close(FOut);
    }

    // Everything the program printed until it ended, or its first line when Line is set.
    std::string Output(bool Line)
    {
        std::string text;
        const auto until = TTestClock::now() + ReplyTimeout;
        char c;
        while (!(Line && text.ends_with('\n'))) {
            pollfd fd{FOut, POLLIN, 0};
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - TTestClock::now());
            if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0 || read(FOut, &c, 1) != 1)
                break;
            text.push_back(c);
        }
        return text;
    }

    std::string Port()
    {
        const std::string line = Output(true);
        return line.ends_with('\n') ? line.substr(0, line.size() - 1) : line;
    }

    // The exit status, once its stdout has closed (it has ended then); -1 when it didn't end in time.
    int ExitCode(int Signal = 0)
    {
        if (Signal)
            kill(FPid, Signal);
        Output(false);
        pollfd fd{FOut, POLLIN, 0};
        if (poll(&fd, 1, 0) <= 0 || !(fd.revents & POLLHUP))
            return -1;
        int status = 0;
        waitpid(FPid, &status, 0);
        FPid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t FPid = -1;
    int FOut = -1;
};

std::string readFile(const std::string& Path)
{
    std::ifstream file(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

struct TTempDir {
    TTempDir()
    {
        char pattern[] = "/tmp/sim-test-XXXXXX";
        Path = mkdtemp(pattern);
    }
    ~TTempDir() { std::filesystem::remove_all(Path); }
    std::string operator/(const std::string& Name) const { return Path + "/" + Name; }
    std::string Path;
};

} // namespace

TEST(simProgram, printsItsPortLinksItAndLogsRequests)
{
    TTempDir dir;
    TSimProcess sim({"--link", dir / "port", "--log", dir / "log"});
    const std::string port = sim.Port();
    EXPECT_EQ(port.rfind("/dev/pts/", 0), 0u) << port;
    EXPECT_EQ(std::filesystem::read_symlink(dir / "port"), port);
    {
        TRawPort link(dir / "port");
        EXPECT_EQ(link.Exchange(BootQuery, 15).rfind("BOOT VER", 0), 0u);
        EXPECT_EQ(link.Exchange(SettingsWrite, Ack.size()), Ack);
    }
    EXPECT_EQ(sim.ExitCode(SIGTERM), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(dir / "port")));
    EXPECT_EQ(readFile(dir / "log"), "BOOT answered\nWRITE 02 024000 0004 acked\n");
}

TEST(simProgram, servesANamedTerminalDeviceInRawMode)
{
    // A terminal as a driver leaves it: echoing, line by line, CR made LF. Until the simulator sets
    // it raw, the query would come back as its echo and never end as a request.
    TPtyPair device;
    termios cooked = device.LineState();
    cooked.c_iflag |= ICRNL;
    cooked.c_lflag |= ICANON | ECHO;
    ASSERT_EQ(tcsetattr(device.Master(), TCSANOW, &cooked), 0);
    TSimProcess sim({"--device", device.SlavePath()});
    EXPECT_EQ(sim.Port(), device.SlavePath());
    device.Send(std::string(BootQuery));
    EXPECT_EQ(device.Receive(15), "BOOT VER 1.05\r\n");
    EXPECT_FALSE(device.LineState().c_lflag & (ICANON | ECHO));
    EXPECT_EQ(sim.ExitCode(SIGTERM), 0);
}

TEST(simProgram, keepsMemoryAcrossRunsAndEndsOnHangUp)
{
    TTempDir dir;
    {
        TSimProcess sim({"--memory", dir / "image", "--hang-up", "1", "--log", dir / "log"});
        TRawPort port(sim.Port());
        EXPECT_EQ(port.Exchange(MacWrite, Ack.size()), Ack);
        port.Write(BootQuery);
        EXPECT_TRUE(port.WaitForHangUp());
        EXPECT_EQ(sim.ExitCode(), 0);
    }
    const std::string image = readFile(dir / "image");
    ASSERT_EQ(image.size(), 0x40000u);
    EXPECT_EQ(image.substr(0x3F000, 10), std::string("\x00\x00\x00\x4E\x00\x11\x22\x33\x44\x55", 10));

    TSimProcess sim({"--memory", dir / "image", "--protection", "0x4F"});
    TRawPort port(sim.Port());
    EXPECT_EQ(port.Exchange(ReadFrame(0x3F000), ReadReplyLength).substr(0, 20), "0000004F001122334455");
    EXPECT_EQ(sim.ExitCode(SIGINT), 0);
}

TEST(simProgram, readsEveryOptionAndRefusesBadOnes)
{
    const TSimOptions options = ParseSimOptions({"--device", "D", "--link", "L", "--memory", "M", "--log", "G", "--baud", "9600",
                                                 "--program-delay", "20", "--no-boot", "--protection", "0x1234",
                                                 "--drop-ack", "3", "--corrupt-read", "4", "--split-ack", "5",
                                                 "--split-gap", "30", "--bad-cell", "0x8001", "--hang-up", "0",
                                                 "--adapter-latency", "16", "--hand-on", "62", "--read-lead",
                                                 "\\r\\n>", "--read-tail", "a\\\\b", "--read-separator", " "});
    const TSimSettings& s = options.Settings;
    EXPECT_EQ(s.DevicePath, "D");
    EXPECT_EQ(options.LinkPath, "L");
    EXPECT_EQ(options.LogPath, "G");
    EXPECT_EQ(s.MemoryFile, "M");
    EXPECT_EQ(s.Baud, 9600u);
    EXPECT_EQ(s.ProgramDelay, 20ms);
    EXPECT_FALSE(s.BootReply);
    EXPECT_EQ(s.ProtectionWord, 0x1234u);
    EXPECT_EQ(s.DropAckEvery, 3u);
    EXPECT_EQ(s.CorruptReadEvery, 4u);
    EXPECT_EQ(s.SplitAckEvery, 5u);
    EXPECT_EQ(s.SplitAckGap, 30ms);
    EXPECT_EQ(s.BadCell, 0x8001u);
    EXPECT_EQ(s.HangUpAfterBlocks, 0u);
    EXPECT_EQ(s.AdapterLatency, 16ms);
    EXPECT_EQ(s.HandOn, 62u);
    EXPECT_EQ(s.ReadLead, "\r\n>");
    EXPECT_EQ(s.ReadTail, "a\\b");
    EXPECT_EQ(s.ReadSeparator, " ");
    EXPECT_EQ(ParseSimOptions({"--pace"}).Settings.Baud, 115200u);
    EXPECT_FALSE(ParseSimOptions({}).Settings.HangUpAfterBlocks.has_value());

    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--drop-ack"}, {"--drop-ack", "x"}, {"--drop-ack", "-1"}, {"--baud", "12k"}, {"--bad-cell", "0x40000"},
             {"--protection", "0x100000000"}, {"--adapter-latency", "256"}, {"--read-lead", "\\t"}, {"--read-tail", "\\"},
             {"--frobnicate"}})
        EXPECT_THROW(ParseSimOptions(bad), std::invalid_argument) << bad[0];

    TSimProcess help({"--help"});
    const std::string usage = help.Output(false);
    for (const char* option : {"--device", "--link", "--memory", "--log", "--pace", "--baud", "--program-delay", "--no-boot",
                               "--protection", "--drop-ack", "--corrupt-read", "--split-ack", "--split-gap",
                               "--bad-cell", "--hang-up", "--adapter-latency", "--hand-on", "--read-lead",
                               "--read-tail", "--read-separator"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    EXPECT_EQ(help.ExitCode(), 0);
    TSimProcess version({"--version"});
    EXPECT_EQ(version.Output(false), SW_TEST_VERSION "\n");
    EXPECT_EQ(TSimProcess({"--frobnicate"}).ExitCode(), 2);
}
