#include "DeviceSimulator.h"
#include "RawPort.h"

#include <gtest/gtest.h>

namespace {

// A simulator with the given settings, already answering on its own thread, and a port to it.
struct TRig {
    explicit TRig(const TSimSettings& Settings) : Sim(Settings), Port(Sim.PortPath()) { Sim.Start(); }
    TDeviceSimulator Sim;
    TRawPort Port;
};

using TSeconds = std::chrono::duration<double>;

TSeconds since(TTestClock::time_point Start) { return TTestClock::now() - Start; }

TSeconds lineTime(size_t Chars, unsigned Baud) { return TSeconds(Chars * 10.0 / Baud); }

bool isUpperHex(const std::string& Text) { return Text.find_first_not_of("0123456789ABCDEF") == std::string::npos; }

} // namespace

TEST(simFaults, pacesBothDirectionsAtTheBaudRate)
{
    constexpr unsigned baud = 115200;
    TSimSettings settings;
    settings.Baud = baud;
    TRig rig(settings);

    // Characters can't arrive faster than the line carries them, whenever one looks.
    const auto start = TTestClock::now();
    rig.Port.Write(ReadFrame(0x8000));
    std::string reply;
    while (reply.size() < ReadReplyLength) {
        const std::string part = rig.Port.Read(1);
        ASSERT_FALSE(part.empty()) << "reply stopped after " << reply.size();
        reply += part;
        EXPECT_LE(lineTime(15 + reply.size(), baud), since(start)) << reply.size() << " characters";
    }
    EXPECT_EQ(reply, std::string(256, 'F') + "00");

    const auto writeStart = TTestClock::now();
    EXPECT_EQ(rig.Port.Exchange(FullBlockFrame(0x8000, 0x11), Ack.size()), Ack);
    EXPECT_GE(since(writeStart), lineTime(273 + Ack.size(), baud));
}

TEST(simFaults, holdsTheAckForTheProgrammingDelay)
{
    TSimSettings settings;
    settings.ProgramDelay = 150ms;
    TRig rig(settings);
    const auto start = TTestClock::now();
    EXPECT_EQ(rig.Port.Exchange(SettingsWrite, Ack.size()), Ack);
    EXPECT_GE(since(start), 150ms);
}

TEST(simFaults, leavesTheBootQueryUnansweredWhenToldTo)
{
    TSimSettings settings;
    settings.BootReply = false;
    TRig rig(settings);
    rig.Port.Write(BootQuery);
    // Requests are answered in order, so a boot reply would come ahead of the read reply.
    EXPECT_EQ(rig.Port.Exchange(ReadFrame(0x8000), ReadReplyLength), std::string(256, 'F') + "00");
    EXPECT_EQ(rig.Sim.RequestLog().front(), "BOOT silent");
}

TEST(simFaults, startsWithAnotherProtectionWord)
{
    TSimSettings settings;
    settings.ProtectionWord = 0xA1B2C3D4;
    TRig rig(settings);
    EXPECT_EQ(rig.Port.Exchange(ReadFrame(0x3F000), ReadReplyLength).substr(0, 20), "A1B2C3D4020053304150");
}

TEST(simFaults, dropsEveryNthAckButStoresTheBlock)
{
    TSimSettings settings;
    settings.DropAckEvery = 2;
    TRig rig(settings);
    for (uint32_t n = 1; n <= 4; ++n) {
        const uint32_t address = 0x8000 + 0x80 * n;
        rig.Port.Write(FullBlockFrame(address, static_cast<uint8_t>(n)));
        const std::string expected = ReadReplyFor(std::vector<uint8_t>(128, static_cast<uint8_t>(n)));
        if (n % 2 == 1) {
            EXPECT_EQ(rig.Port.Read(Ack.size()), Ack) << "block " << n;
        }
        // After a dropped ack the first thing to arrive is the next reply.
        EXPECT_EQ(rig.Port.Exchange(ReadFrame(address), ReadReplyLength), expected) << "block " << n;
    }
    const auto log = rig.Sim.RequestLog();
    ASSERT_EQ(log.size(), 8u);
    EXPECT_EQ(log[0], "WRITE 02 008080 0080 acked");
    EXPECT_EQ(log[2], "WRITE 02 008100 0080 ack-dropped");
    EXPECT_EQ(log[6], "WRITE 02 008200 0080 ack-dropped");
}

TEST(simFaults, corruptsEveryNthReadReply)
{
    TSimSettings settings;
    settings.CorruptReadEvery = 2;
    TRig rig(settings);
    const std::string good = ReadReplyFor(std::vector<uint8_t>(128, 0xFF));
    EXPECT_EQ(rig.Port.Exchange(ReadFrame(0x8000), ReadReplyLength), good);
    const std::string bad = rig.Port.Exchange(ReadFrame(0x8000), ReadReplyLength);
    ASSERT_EQ(bad.size(), ReadReplyLength);
    EXPECT_TRUE(isUpperHex(bad));
    // Still 258 well-formed digits: only the checksum can tell.
    EXPECT_NE(bad, good);
    EXPECT_EQ(bad.substr(1), good.substr(1));
    EXPECT_EQ(rig.Port.Exchange(ReadFrame(0x8000), ReadReplyLength), good);
    EXPECT_EQ(rig.Sim.RequestLog()[1], "READ 008000 0080 corrupted");
}

TEST(simFaults, sendsTheAckInTwoParts)
{
    constexpr auto gap = 100ms;
    TSimSettings settings;
    settings.SplitAckEvery = 1;
    settings.SplitAckGap = gap;
    TRig rig(settings);
    const auto start = TTestClock::now();
    rig.Port.Write(SettingsWrite);
    const std::string first = rig.Port.Read(1);
    const auto firstSeen = since(start);
    const std::string ack = first + rig.Port.Read(Ack.size() - first.size());
    EXPECT_EQ(ack, Ack);
    EXPECT_GE(since(start), gap);
    // Seen before the gap could have passed, the ack can only be its first part.
    if (firstSeen < gap) {
        EXPECT_EQ(first, Ack.substr(0, 3));
    }
    EXPECT_EQ(rig.Sim.RequestLog().front(), "WRITE 02 024000 0004 ack-split");
}

TEST(simFaults, passesEveryReplyWholeThroughAnAdapter)
{
    TSimSettings settings;
    settings.Baud = 115200;
    settings.AdapterLatency = 16ms;
    TRig rig(settings);
    EXPECT_EQ(rig.Port.Exchange(ReadFrame(0x8000), ReadReplyLength), std::string(256, 'F') + "00");
    EXPECT_EQ(rig.Port.Exchange(SettingsWrite, Ack.size()), Ack);
    EXPECT_EQ(rig.Port.Read(1, 50ms), "");
}

TEST(simFaults, storesAWrongByteInABadCell)
{
    TSimSettings settings;
    settings.BadCell = 0x24001;
    TRig rig(settings);
    EXPECT_EQ(rig.Port.Exchange(SettingsWrite, Ack.size()), Ack);
    EXPECT_EQ(rig.Port.Exchange(ReadFrame(0x24000), ReadReplyLength).substr(0, 10), "05010500FF");
    EXPECT_EQ(rig.Sim.Memory().Read(0x24000, 4), (std::vector<uint8_t>{5, 1, 5, 0}));
}

TEST(simFaults, hangsUpAfterNBlocks)
{
    TSimSettings settings;
    settings.HangUpAfterBlocks = 2;
    TRig rig(settings);
    EXPECT_EQ(rig.Port.Exchange(FullBlockFrame(0x8000, 1), Ack.size()), Ack);
    EXPECT_EQ(rig.Port.Exchange(ReadFrame(0x8000), ReadReplyLength).size(), ReadReplyLength);
    EXPECT_EQ(rig.Port.Exchange(FullBlockFrame(0x8080, 2), Ack.size()), Ack);
    EXPECT_FALSE(rig.Sim.HungUp());

    rig.Port.Write(FullBlockFrame(0x8100, 3));
    EXPECT_TRUE(rig.Port.WaitForHangUp());
    EXPECT_TRUE(rig.Sim.HungUp());
    EXPECT_EQ(rig.Sim.RequestLog().back(), "WRITE 02 008100 0080 hang-up");
    EXPECT_EQ(rig.Sim.Memory().Read(0x8100, 1), std::vector<uint8_t>{0xFF});
}

TEST(simFaults, hangsUpAfterNReadReplies)
{
    TSimSettings settings;
    settings.HangUpAfterReads = 1;
    TRig rig(settings);
    EXPECT_EQ(rig.Port.Exchange(FullBlockFrame(0x8000, 1), Ack.size()), Ack);
    EXPECT_EQ(rig.Port.Exchange(ReadFrame(0x8000), ReadReplyLength).size(), ReadReplyLength);
    EXPECT_FALSE(rig.Sim.HungUp());

    rig.Port.Write(ReadFrame(0x8080));
    EXPECT_TRUE(rig.Port.WaitForHangUp());
    EXPECT_EQ(rig.Sim.RequestLog().back(), "READ 008080 0080 hang-up");
}

TEST(simFaults, fallsSilentAfterNBlocksWithTheLineOpen)
{
    TSimSettings settings;
    settings.SilentAfterBlocks = 1;
    TRig rig(settings);
    EXPECT_EQ(rig.Port.Exchange(FullBlockFrame(0x8000, 1), Ack.size()), Ack);
    rig.Port.Write(FullBlockFrame(0x8080, 2));
    rig.Port.Write(ReadFrame(0x8000));
    EXPECT_EQ(rig.Port.Read(1, 300ms), "");
    ASSERT_TRUE(rig.Sim.WaitForLog(3, 5s));
    EXPECT_EQ(rig.Sim.RequestLog()[2], "READ 008000 0080 unanswered");
    EXPECT_FALSE(rig.Sim.HungUp());
    EXPECT_EQ(rig.Sim.Memory().Read(0x8080, 1), std::vector<uint8_t>{0xFF});
}

TEST(simFaults, garblesEveryNthReplyToAReadOrAWrite)
{
    TSimSettings settings;
    settings.GarbageReplyEvery = 2;
    TRig rig(settings);
    EXPECT_EQ(rig.Port.Exchange(FullBlockFrame(0x8000, 7), Ack.size()), Ack);
    // Same length as the reply it replaces, and nothing a PC could take for digits or "O.K.".
    const std::string noise = rig.Port.Exchange(ReadFrame(0x8000), ReadReplyLength);
    ASSERT_EQ(noise.size(), ReadReplyLength);
    for (unsigned char c : noise)
        EXPECT_GE(c, 0x80);
    EXPECT_EQ(rig.Port.Exchange(FullBlockFrame(0x8080, 8), Ack.size()), Ack);
    const std::string noisyAck = rig.Port.Exchange(FullBlockFrame(0x8100, 9), Ack.size());
    EXPECT_EQ(noisyAck.find("O.K."), std::string::npos);
    EXPECT_EQ(rig.Sim.RequestLog()[1], "READ 008000 0080 sent garbled");
    // The block behind a garbled ack is stored all the same.
    EXPECT_EQ(rig.Sim.Memory().Read(0x8100, 1), std::vector<uint8_t>{9});
}

TEST(simFaults, runsEveryNthReplyOnWithMoreDigits)
{
    TSimSettings settings;
    settings.OverlongReplyEvery = 1;
    TRig rig(settings);
    const std::string ack = rig.Port.Exchange(FullBlockFrame(0x8000, 3), Ack.size() + OverlongTail);
    EXPECT_EQ(ack.substr(0, Ack.size()), Ack);
    const std::string reply = rig.Port.Exchange(ReadFrame(0x8000), ReadReplyLength + OverlongTail);
    EXPECT_EQ(reply.substr(0, ReadReplyLength), ReadReplyFor(std::vector<uint8_t>(128, 3)));
    EXPECT_TRUE(isUpperHex(reply));
    EXPECT_EQ(rig.Sim.RequestLog()[1], "READ 008000 0080 sent overlong");
}
