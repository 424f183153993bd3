#include "DeviceSimulator.h"
#include "RawPort.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> defaultParameterBlock()
{
    std::vector<uint8_t> bytes{0x00, 0x00, 0x00, 0x4E, 0x02, 0x00, 0x53, 0x30, 0x41, 0x50};
    bytes.resize(128, 0xFF);
    return bytes;
}

std::vector<uint8_t> block(std::vector<uint8_t> Head, uint8_t Rest = 0xFF)
{
    Head.resize(128, Rest);
    return Head;
}

std::string tempPath(const std::string& Name)
{
    return (std::filesystem::temp_directory_path() / (Name + "." + std::to_string(getpid()))).string();
}

} // namespace

TEST(simDevice, answersEveryRequestKindFromItsMemory)
{
    TDeviceSimulator sim(TSimSettings{});
    TRawPort port(sim.PortPath());
    sim.Start();

    const std::string boot = port.Exchange(BootQuery, 15);
    EXPECT_EQ(boot.rfind("BOOT VER ", 0), 0u) << boot;
    EXPECT_NE(boot.find("\r\n"), std::string::npos);

    EXPECT_EQ(port.Exchange(ReadFrame(0x3F000), ReadReplyLength), ReadReplyFor(defaultParameterBlock()));
    EXPECT_EQ(port.Exchange(ReadFrame(0x8000), ReadReplyLength), std::string(256, 'F') + "00");
    EXPECT_EQ(port.Exchange(ReadFrame(0x23F80), ReadReplyLength), std::string(256, 'F') + "00");
    EXPECT_EQ(port.Exchange(ReadFrame(0x24000), ReadReplyLength), ReadReplyFor(block({5, 0, 5, 0})));

    EXPECT_EQ(port.Exchange("000240000200040102030404\r", Ack.size()), Ack);
    EXPECT_EQ(sim.Memory().Read(0x24000, 5), (std::vector<uint8_t>{1, 2, 3, 4, 0xFF}));
    EXPECT_EQ(port.Exchange(MacWrite, Ack.size()), Ack);
    EXPECT_EQ(port.Exchange(ReadFrame(0x3F000), ReadReplyLength),
              ReadReplyFor(block({0x00, 0x00, 0x00, 0x4E, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55})));
    EXPECT_EQ(port.Exchange(FullBlockFrame(0x8000, 0xA5), Ack.size()), Ack);
    EXPECT_EQ(port.Exchange(ReadFrame(0x8000), ReadReplyLength), ReadReplyFor(block({}, 0xA5)));
    // No reply may carry anything beyond what was asked for.
    EXPECT_EQ(port.Read(1, 50ms), "");

    ASSERT_TRUE(sim.WaitForLog(10, ReplyTimeout));
    EXPECT_EQ(sim.RequestLog(), (std::vector<std::string>{
                                    "BOOT answered", "READ 03F000 0080 sent", "READ 008000 0080 sent",
                                    "READ 023F80 0080 sent", "READ 024000 0080 sent", "WRITE 02 024000 0004 acked",
                                    "WRITE 0B 03F004 0006 acked", "READ 03F000 0080 sent", "WRITE 02 008000 0080 acked",
                                    "READ 008000 0080 sent"}));
}

TEST(simDevice, rejectsBrokenFramesWithoutStoringAndKeepsAnswering)
{
    struct TCase {
        std::string Frame;
        std::string Logged;
    };
    const std::vector<TCase> cases{
        {"000240000200040500050001\r", "WRITE 02 024000 0004 bad-checksum"},
        {"0002400002000405000500\r", "INVALID bad-length \"0002400002000405000500\""},
        {"0002400002008101020300\r", "INVALID bad-length"},
        {"000240000200040a00050000\r", "INVALID malformed"},
        {"00024000070004050005000\r", "INVALID unknown-command"},
        {"0003F000030000\r", "INVALID bad-length"},
        {"0003FFF0030080\r", "INVALID out-of-range"},
        {"0003FFFE0200040500050000\r", "INVALID out-of-range"},
        {"00000000500004\r", "INVALID bad-length"},
        {"\r", "INVALID malformed \"\""},
        {std::string("\x00\xFF\x1B[0;\x7F" "0002", 11) + "\r", "INVALID malformed \"\\x00\\xFF\\x1B[0;\\x7F0002\""},
        {std::string(1000, '0') + "\r", "INVALID overlong"},
    };
    TDeviceSimulator sim(TSimSettings{});
    TRawPort port(sim.PortPath());
    sim.Start();
    for (size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(port.Exchange(cases[i].Frame, Rejected.size()), Rejected) << cases[i].Logged;
        ASSERT_TRUE(sim.WaitForLog(i + 1, ReplyTimeout));
        EXPECT_EQ(sim.RequestLog()[i].rfind(cases[i].Logged, 0), 0u) << sim.RequestLog()[i];
    }
    EXPECT_EQ(sim.Memory().Read(0x24000, 4), (std::vector<uint8_t>{5, 0, 5, 0}));
    EXPECT_EQ(sim.Memory().Read(0x3FFFE, 2), (std::vector<uint8_t>{0xFF, 0xFF}));

    // A frame that comes in pieces, and a CR LF ending, are one request each.
    port.Write("0003F0");
    port.Write("04");
    port.Write("0B000600112233445511\r\n");
    EXPECT_EQ(port.Read(Ack.size()), Ack);
    EXPECT_EQ(port.Exchange(ReadFrame(0x3F000), ReadReplyLength).substr(8, 12), "001122334455");
    EXPECT_EQ(sim.RequestLog().size(), cases.size() + 2);
}

TEST(simDevice, keepsItsMemoryInAFile)
{
    const std::string path = tempPath("sim-memory");
    std::filesystem::remove(path);
    TSimSettings settings;
    settings.MemoryFile = path;
    {
        TDeviceSimulator sim(settings);
        TRawPort port(sim.PortPath());
        sim.Start();
        EXPECT_EQ(port.Exchange(MacWrite, Ack.size()), Ack);
        sim.Stop();
    }
    ASSERT_EQ(std::filesystem::file_size(path), 0x40000u);
    std::ifstream file(path, std::ios::binary);
    std::vector<char> image(0x40000);
    file.read(image.data(), static_cast<std::streamsize>(image.size()));
    EXPECT_EQ(std::string(image.data() + 0x3F000, 10), std::string("\x00\x00\x00\x4E\x00\x11\x22\x33\x44\x55", 10));
    EXPECT_EQ(std::string(image.data() + 0x24000, 4), std::string("\x05\x00\x05\x00", 4));
    EXPECT_EQ(static_cast<uint8_t>(image[0x8000]), 0xFF);

    // Loaded again, with a protection word that overrides the file's.
    settings.ProtectionWord = 0x12345678;
    TDeviceSimulator again(settings);
    EXPECT_EQ(again.Memory().Read(0x3F000, 10),
              (std::vector<uint8_t>{0x12, 0x34, 0x56, 0x78, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));

    std::filesystem::resize_file(path, 100);
    EXPECT_THROW(TDeviceSimulator{settings}, std::runtime_error);
    std::filesystem::remove(path);
}

TEST(simDevice, stopsPromptlyInAnyState)
{
    {
        TDeviceSimulator neverOpened(TSimSettings{});
        neverOpened.Start();
    }
    {
        // A PC that closed its port again leaves the simulator answering the next one.
        TDeviceSimulator sim(TSimSettings{});
        sim.Start();
        TRawPort(sim.PortPath()).Write("00000000");
        TRawPort port(sim.PortPath());
        EXPECT_EQ(port.Exchange("500000\r", 15).rfind("BOOT VER", 0), 0u);
    }
    TSimSettings settings;
    settings.ProgramDelay = 60s;
    TDeviceSimulator sim(settings);
    TRawPort port(sim.PortPath());
    sim.Start();
    port.Write(SettingsWrite);
    ASSERT_TRUE(sim.WaitForLog(1, ReplyTimeout));
    const auto start = TTestClock::now();
    sim.Stop();
    EXPECT_LT(TTestClock::now() - start, 30s);
}
