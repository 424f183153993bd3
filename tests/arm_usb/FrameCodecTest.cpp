#include "FrameCodec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <future>
#include <memory>
#include <thread>
#include <utility>

#include "CommInt.h"
#include "Thread.h"
#include "BlockBytes.h"
#include "DeviceSimulator.h"
#include "DeviceText.h"
#include "PtyPair.h"
#include "WorkerPort.h"

namespace {

constexpr std::chrono::milliseconds ShortPause{1};

// A codec end with the test holding the device's side of the line.
struct TPortLine {
    TPtyPair Pty;
    TComm Comm;
    TPortLine() { OpenLikeWorker(Comm, Pty.SlavePath()); }
};

// A codec end on the simulated device, with the worker's frame and block buffers.
struct TDeviceLine {
    TDeviceSimulator Device;
    TComm Comm;
    TFrame Frame{};
    TBlock Block{};
    explicit TDeviceLine(const TSimSettings& Settings) : Device(Settings)
    {
        Device.Start();
        OpenLikeWorker(Comm, Device.PortPath());
    }
};

} // namespace

TEST(FrameCodec, PutsRequestsOnTheLineByteForByte)
{
    TPortLine Line;
    // Whatever the device sent unasked is thrown away before a request.
    Line.Pty.Send("stale");
    ASSERT_TRUE(WaitUntil([&] { return Line.Comm.InQueCount() == 5; }));
    SendReadRequest(Line.Comm, 0, 0x3F000, cmdReadBlock, 128);
    EXPECT_EQ(Line.Comm.InQueCount(), 0);
    EXPECT_EQ(Line.Pty.Receive(15), "0003F000030080\r");
    SendReadRequest(Line.Comm, 0, 0x8000, cmdReadBlock, 128);
    EXPECT_EQ(Line.Pty.Receive(15), "00008000030080\r");

    TFrame Frame{};
    TBlock Block{};
    const uint8_t Settings[] = {0x05, 0x00, 0x05, 0x00};
    std::memcpy(Block, Settings, sizeof Settings);
    SendWriteRequest(Line.Comm, Frame, Block, 0, 0x24000, cmdWriteBlock, 4);
    EXPECT_EQ(Line.Pty.Receive(25), "000240000200040500050000\r");
    EXPECT_EQ(std::string(Frame, 25), "000240000200040500050000\r");

    const uint8_t Mac[] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    std::memcpy(Block, Mac, sizeof Mac);
    SendWriteRequest(Line.Comm, Frame, Block, 0, 0x3F004, cmdWriteParam, 6);
    EXPECT_EQ(Line.Pty.Receive(29), "0003F0040B000600112233445511\r");

    SendWriteRequest(Line.Comm, Frame, Block, 0, 0x8000, cmdWriteBlock, 0);
    EXPECT_EQ(Line.Pty.Receive(17), "0000800002000000\r");

    const std::vector<uint8_t> Full = CountingBlock();
    std::memcpy(Block, Full.data(), Full.size());
    SendWriteRequest(Line.Comm, Frame, Block, 0, 0x23F80, cmdWriteBlock, 128);
    const std::string Sent = Line.Pty.Receive(273);
    ASSERT_EQ(Sent.size(), 273u);
    EXPECT_EQ(Sent.substr(0, 14), "00023F80020080");
    EXPECT_EQ(Sent.substr(14, 258), ReadReplyFor(Full));
    EXPECT_EQ(Sent.back(), '\r');

    EXPECT_EQ(std::string(BootQueryFrame), "00000000500000\r");
    EXPECT_EQ(std::strlen(BootQueryFrame), static_cast<size_t>(BootQueryLength));
}

TEST(FrameCodec, ReceivesReadRepliesAndDiscardsTheRest)
{
    TPortLine Line;
    TBlock Block{};
    const std::vector<uint8_t> Bytes = CountingBlock();

    Line.Pty.Send(ReadReplyFor(Bytes));
    EXPECT_TRUE(ReceiveReadReply(Line.Comm, Block, ShortPause));
    EXPECT_EQ(DataOf(Block), Bytes);

    // 257 characters never complete a reply: a zeroed block and an empty queue afterwards.
    Line.Pty.Send(ReadReplyFor(Bytes).substr(0, 257));
    ASSERT_TRUE(WaitUntil([&] { return Line.Comm.InQueCount() == 257; }));
    EXPECT_FALSE(ReceiveReadReply(Line.Comm, Block, ShortPause));
    EXPECT_EQ(DataOf(Block), std::vector<uint8_t>(128, 0));
    EXPECT_EQ(Block[DecodedLengthIndex], 0);
    EXPECT_EQ(Line.Comm.InQueCount(), 0);

    // Longer than the reply buffer, binary garbage: stored no further than the buffer, failed,
    // and nothing left over for the next exchange.
    std::string Garbage(2000, '\0');
    for (size_t I = 0; I < Garbage.size(); ++I)
        Garbage[I] = static_cast<char>(I * 37 + 11);
    Line.Pty.Send(Garbage);
    ASSERT_TRUE(WaitUntil([&] { return Line.Comm.InQueCount() == 2000; }));
    EXPECT_FALSE(ReceiveReadReply(Line.Comm, Block, ShortPause));
    EXPECT_EQ(Line.Comm.InQueCount(), 0);

    // Nothing at all within 50 polls.
    EXPECT_FALSE(ReceiveReadReply(Line.Comm, Block, ShortPause));
}

TEST(FrameCodec, TakesAnAcknowledgementOnceTheLineHeldStill)
{
    TPortLine Line;
    auto AckFor = [&](const std::string& Reply) {
        Line.Pty.Send(Reply);
        return WaitForAck(Line.Comm, ShortPause);
    };
    EXPECT_TRUE(AckFor("\r\n>O.K.\r\n"));
    EXPECT_TRUE(AckFor("xyzO.K."));
    EXPECT_FALSE(AckFor("O.K.\r\n"));
    EXPECT_FALSE(AckFor("\r\n>ERR\r\n"));
    EXPECT_FALSE(AckFor("ab>O.K"));
    EXPECT_FALSE(AckFor(std::string("\0\xff\x01O.K", 7)));

    // Longer than its buffer: judged on its start, the surplus not left behind.
    EXPECT_TRUE(AckFor("\r\n>O.K." + std::string(600, '#')));
    EXPECT_EQ(Line.Comm.InQueCount(), 0);

    // Sent in two parts with a pause between: judged on the first part alone.
    auto Ack = std::async(std::launch::async, [&] { return WaitForAck(Line.Comm, ShortPause); });
    Line.Pty.Send("\r\n>");
    EXPECT_FALSE(Ack.get());
    Line.Pty.Send("O.K.\r\n");

    // Silence: gives up after 1100 polls that found nothing waiting.
    TBlock Block{};
    ReceiveReadReply(Line.Comm, Block, ShortPause); // clears the second part
    const auto Start = std::chrono::steady_clock::now();
    EXPECT_FALSE(WaitForAck(Line.Comm, ShortPause));
    EXPECT_GE(std::chrono::steady_clock::now() - Start, AckPollLimit * ShortPause);

    // A wait that is no longer wanted ends before its next poll, whatever its limit.
    int Asked = 0;
    EXPECT_FALSE(WaitForAck(Line.Comm, PollPause, [&] { return ++Asked < 3; }));
    EXPECT_EQ(Asked, 3);
    Asked = 0;
    EXPECT_FALSE(ReceiveReadReply(Line.Comm, Block, PollPause, [&] { return ++Asked < 3; }));
    EXPECT_EQ(Asked, 3);
}

TEST(FrameCodec, JudgesRepliesThatArriveInPartsByTheirArrival)
{
    // The pause is long beside the gaps chosen as short, so a slow machine cannot turn a short gap
    // into a long one; a long gap is three pauses.
    constexpr std::chrono::milliseconds Pause{100};
    constexpr auto Short = Pause / 5;
    constexpr auto Long = Pause * 3;
    const std::string Reply = ReadReplyFor(CountingBlock());
    struct TPart {
        std::chrono::milliseconds Gap; // before this part
        std::string Text;
    };
    const struct {
        const char* Name;
        bool ReadReply; // else an acknowledgement
        std::vector<TPart> Parts;
        bool Taken;
    } Cases[] = {
        {"ack in parts closer than a pause", false, {{{}, "\r\n"}, {Short, ">O"}, {Short, ".K.\r\n"}}, true},
        {"ack whose end comes after a pause", false, {{{}, "\r\n>O"}, {Long, ".K.\r\n"}}, false},
        {"ack after a silence", false, {{Long, "\r\n>O.K.\r\n"}}, true},
        {"read reply in parts a pause apart", true,
         {{{}, Reply.substr(0, 100)}, {Long, Reply.substr(100, 100)}, {Long, Reply.substr(200)}}, true},
        {"read reply one short until its limit", true, {{{}, Reply.substr(0, 257)}, {Pause * 60, "0"}}, false},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TPortLine Line;
        TBlock Block{};
        auto Taken = std::async(std::launch::async, [&] {
            return Case.ReadReply ? ReceiveReadReply(Line.Comm, Block, Pause) : WaitForAck(Line.Comm, Pause);
        });
        for (const TPart& Part : Case.Parts) {
            std::this_thread::sleep_for(Part.Gap);
            Line.Pty.Send(Part.Text);
        }
        EXPECT_EQ(Taken.get(), Case.Taken);
        if (Case.ReadReply && Case.Taken) {
            EXPECT_EQ(DataOf(Block), CountingBlock());
        }
    }
}

TEST(FrameCodec, RoundTripsWithTheDeviceSimulator)
{
    TSimSettings Settings;
    Settings.Baud = 115200;
    TDeviceLine Line(Settings);
    auto& [Device, Comm, Frame, Block] = Line;

    // The whole reply, "BOOT VER 1.05" CR LF, so that none of it runs into the next exchange.
    Comm.Write(BootQueryFrame, BootQueryLength);
    ASSERT_TRUE(WaitUntil([&] { return Comm.InQueCount() >= 15; }));
    char Boot[BootReplyBufferSize];
    const int Got = Comm.Read(Boot, BootReplyBufferSize);
    EXPECT_TRUE(IsBootReply(Boot, Got)) << std::string(Boot, static_cast<size_t>(std::max(Got, 0)));

    SendReadRequest(Comm, 0, 0x3F000, cmdReadBlock, 128);
    ASSERT_TRUE(ReceiveReadReply(Comm, Block));
    EXPECT_EQ(Block[0] << 24 | Block[1] << 16 | Block[2] << 8 | Block[3], 0x4E);

    const uint8_t Mac[] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    std::memcpy(Block, Mac, sizeof Mac);
    SendWriteRequest(Comm, Frame, Block, 0, 0x3F004, cmdWriteParam, 6);
    EXPECT_TRUE(WaitForAck(Comm));

    const std::vector<uint8_t> Bytes = CountingBlock();
    std::memcpy(Block, Bytes.data(), Bytes.size());
    SendWriteRequest(Comm, Frame, Block, 0, 0x8080, cmdWriteBlock, 128);
    EXPECT_TRUE(WaitForAck(Comm));

    SendReadRequest(Comm, 0, 0x8080, cmdReadBlock, 128);
    ASSERT_TRUE(ReceiveReadReply(Comm, Block));
    EXPECT_EQ(DataOf(Block), Bytes);
    SendReadRequest(Comm, 0, 0x3F000, cmdReadBlock, 128);
    ASSERT_TRUE(ReceiveReadReply(Comm, Block));
    EXPECT_EQ(std::vector<uint8_t>(Block + 4, Block + 10), std::vector<uint8_t>(Mac, Mac + 6));
    EXPECT_EQ(Block[DecodedLengthIndex], 128);

    const std::vector<std::string> Log = Device.RequestLog();
    ASSERT_EQ(Log.size(), 6u);
    EXPECT_EQ(Log[0], "BOOT answered");
    EXPECT_EQ(Log[2], "WRITE 0B 03F004 0006 acked");
}

TEST(FrameCodec, TakesReadRepliesFramedAsADeviceMayFrameThem)
{
    // Handed on a character at a time (a UART at its lowest FIFO trigger) and in a USB adapter's
    // packets. The pause is long, so that a loaded machine's late characters cannot end a reply.
    constexpr std::chrono::milliseconds Pause{100};
    const struct {
        const char* Name;
        const char* Lead;
        const char* Separator;
        const char* Tail;
    } Framings[] = {
        {"plain", "", "", ""},
        {"text ahead", "\r\n>", "", ""},
        {"a space between the byte pairs", "", " ", ""},
        {"text after the checksum", "", "", "\r\n>"},
        {"a line of its own with CR LF between the pairs", "\r\n", "\r\n", "\r\n"},
    };
    const std::vector<uint8_t> Bytes = CountingBlock();
    for (const auto& Framing : Framings)
        for (size_t HandOn : {1, 62}) {
            SCOPED_TRACE(std::string(Framing.Name) + ", " + std::to_string(HandOn) + " at a time");
            TSimSettings Settings;
            Settings.Baud = 115200;
            Settings.HandOn = HandOn;
            Settings.ReadLead = Framing.Lead;
            Settings.ReadSeparator = Framing.Separator;
            Settings.ReadTail = Framing.Tail;
            TDeviceLine Line(Settings);
            auto& [Device, Comm, Frame, Block] = Line;
            std::memcpy(Block, Bytes.data(), Bytes.size());
            SendWriteRequest(Comm, Frame, Block, 0, 0x8000, cmdWriteBlock, 128);
            ASSERT_TRUE(WaitForAck(Comm, Pause));
            for (uint32_t Address : {0x8000u, 0x3F000u, 0x8000u}) {
                SendReadRequest(Comm, 0, Address, cmdReadBlock, 128);
                EXPECT_TRUE(ReceiveReadReply(Comm, Block, Pause)) << std::hex << Address;
            }
            EXPECT_EQ(DataOf(Block), Bytes);
            // Nothing the device sent after the last reply lands ahead of the next acknowledgement.
            SettleLine(Comm, Pause);
            SendWriteRequest(Comm, Frame, Block, 0, 0x8080, cmdWriteBlock, 128);
            EXPECT_TRUE(WaitForAck(Comm, Pause));
            const std::vector<std::string> Log = Device.RequestLog();
            EXPECT_EQ(std::count_if(Log.begin(), Log.end(), [](const std::string& L) { return L.starts_with("READ"); }), 3);
        }
}

TEST(FrameCodec, FailsCleanlyOnEveryDeviceFault)
{
    TSimSettings Settings;
    Settings.DropAckEvery = 2;
    Settings.CorruptReadEvery = 2;
    Settings.SplitAckEvery = 3;
    Settings.SplitAckGap = std::chrono::milliseconds(60);
    Settings.BadCell = 0x8001;
    Settings.BootReply = false;
    Settings.HangUpAfterBlocks = 4;
    TDeviceLine Line(Settings);
    auto& [Device, Comm, Frame, Block] = Line;
    std::memset(Block, 0x5A, BlockDataSize);

    // Acknowledgements: the first comes, the second is dropped, the third comes in two parts and
    // is judged on the three characters that had arrived when the line first held still.
    SendWriteRequest(Comm, Frame, Block, 0, 0x8000, cmdWriteBlock, 128);
    EXPECT_TRUE(WaitForAck(Comm));
    SendWriteRequest(Comm, Frame, Block, 0, 0x8080, cmdWriteBlock, 128);
    EXPECT_FALSE(WaitForAck(Comm, ShortPause));
    SendWriteRequest(Comm, Frame, Block, 0, 0x8100, cmdWriteBlock, 128);
    EXPECT_FALSE(WaitForAck(Comm));

    // Read replies: every second one is spoilt; the bad cell shows in what was stored.
    SendReadRequest(Comm, 0, 0x8000, cmdReadBlock, 128);
    ASSERT_TRUE(ReceiveReadReply(Comm, Block));
    EXPECT_EQ(Block[0], 0x5A);
    EXPECT_EQ(Block[1], 0x5B);
    SendReadRequest(Comm, 0, 0x8000, cmdReadBlock, 128);
    EXPECT_FALSE(ReceiveReadReply(Comm, Block));
    EXPECT_EQ(Comm.InQueCount(), 0);

    // No boot reply: nothing arrives.
    Comm.Write(BootQueryFrame, BootQueryLength);
    ASSERT_TRUE(Device.WaitForLog(6, std::chrono::seconds(5)));
    EXPECT_EQ(Comm.InQueCount(), 0);

    // The fourth acknowledgement is dropped again; with four blocks stored, the next request
    // finds the device unplugged. Waiting for a reply then ends as a port error, not as silence.
    SendWriteRequest(Comm, Frame, Block, 0, 0x8180, cmdWriteBlock, 128);
    EXPECT_FALSE(WaitForAck(Comm, ShortPause));
    SendReadRequest(Comm, 0, 0x8000, cmdReadBlock, 128);
    ASSERT_TRUE(WaitUntil([&] { return Device.HungUp(); }));
    EXPECT_THROW(ReceiveReadReply(Comm, Block), ECommError);
    EXPECT_THROW(WaitForAck(Comm), ECommError);
    EXPECT_THROW(SendReadRequest(Comm, 0, 0x8000, cmdReadBlock, 128), ECommError);
}

TEST(FrameCodec, RepliesOnAClosedPortFailAtOnce)
{
    // A closed port answers -1 for its input count: no reply can come, so both waits end as a
    // failed exchange. Run apart, so that a wait which never ends fails the test, not the suite.
    struct TProbe {
        TComm Comm;
        TBlock Block{};
        std::promise<std::pair<bool, bool>> Answers;
    };
    auto Probe = std::make_shared<TProbe>();
    auto Answers = Probe->Answers.get_future();
    std::thread([Probe] {
        const bool Ack = WaitForAck(Probe->Comm, ShortPause);
        const bool Reply = ReceiveReadReply(Probe->Comm, Probe->Block, ShortPause);
        Probe->Answers.set_value({Ack, Reply});
    }).detach();
    ASSERT_EQ(Answers.wait_for(std::chrono::seconds(10)), std::future_status::ready)
        << "a wait on a closed port did not end";
    EXPECT_EQ(Answers.get(), std::make_pair(false, false));
}
