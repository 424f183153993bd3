#include "FrameCodec.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "CommInt.h"

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

using Clock = std::chrono::steady_clock;

// The value of an upper-case hexadecimal digit, or -1.
int DataDigit(char Character)
{
    if (Character >= '0' && Character <= '9')
        return Character - '0';
    if (Character >= 'A' && Character <= 'F')
        return Character - 'A' + 10;
    return -1;
}

// Checksum digits may come in either case.
int ChecksumDigit(char Character)
{
    if (Character >= 'a' && Character <= 'f')
        return Character - 'a' + 10;
    return DataDigit(Character);
}

// Reads everything waiting: up to Size characters into Buffer, the surplus read and dropped so that
// it cannot mix into the next exchange. Returns the count stored, or -1 when the read failed.
int ReadAll(TCustomComm& Comm, char* Buffer, int Size)
{
    const int Stored = Comm.Read(Buffer, Size);
    if (Stored < 0)
        return -1;
    // Bounded: a device that keeps talking must not hold the exchange here; the purge before the
    // next request drops whatever it sends later.
    char Surplus[256];
    for (int Reads = 0; Reads < 16 && Comm.InQueCount() > 0; ++Reads)
        if (Comm.Read(Surplus, sizeof Surplus) <= 0)
            break;
    return Stored;
}

// The input count once it differs from Known or Limit has passed (at most one Pause, so that
// KeepWaiting is asked at least once a Pause): a device that has gone away ends the exchange as a
// port error rather than as silence.
int AwaitCount(TCustomComm& Comm, int Known, Clock::duration Limit)
{
    const int Count = Comm.WaitForInputChange(
        Known, std::chrono::ceil<std::chrono::microseconds>(std::max(Limit, Clock::duration::zero())));
    Comm.CheckDeviceLost();
    return Count;
}

// How long the line needs to carry Count more characters (10 bits each); none when the rate is
// not known.
Clock::duration LineTime(const TCustomComm& Comm, int Count)
{
    const uint32_t Baud = Comm.DCB().BaudRate;
    if (Baud == 0)
        return {};
    return std::chrono::microseconds(int64_t{Count} * 10'000'000 / Baud);
}

bool StillWanted(const TKeepWaiting& KeepWaiting) { return !KeepWaiting || KeepWaiting(); }

// The header fields every request starts with: prefix, address, command, length.
std::string RequestHeader(uint8_t Prefix, uint32_t Address, uint8_t Command, int Length)
{
    return Hex(Prefix, 2) + Hex(Address, 6) + Hex(Command, 2) + Hex(static_cast<uint32_t>(Length), 4);
}

} // namespace

std::string Hex(uint32_t Value, int Digits)
{
    std::string Text(static_cast<size_t>(Digits), '0');
    for (int I = Digits - 1; I >= 0; --I, Value >>= 4)
        Text[static_cast<size_t>(I)] = HexDigits[Value & 0xF];
    return Text;
}

void SendReadRequest(TCustomComm& Comm, uint8_t Prefix, uint32_t Address, uint8_t Command, int Length)
{
    Comm.PurgeOut();
    Comm.PurgeIn();
    const std::string Frame = RequestHeader(Prefix, Address, Command, Length) + '\r';
    for (char Character : Frame)
        Comm.Write(&Character, 1);
}

void SendWriteRequest(TCustomComm& Comm, TFrame& Frame, const TBlock& Block, uint8_t Prefix,
                      uint32_t Address, uint8_t Command, int Length)
{
    const int DataLength = std::clamp(Length, 0, BlockDataSize);
    std::string Text = RequestHeader(Prefix, Address, Command, DataLength);
    uint8_t Checksum = 0;
    for (int I = 0; I < DataLength; ++I) {
        Text += Hex(Block[I], 2);
        Checksum ^= Block[I];
    }
    Text += Hex(Checksum, 2) + '\r';
    std::memcpy(Frame, Text.data(), Text.size());
    Comm.PurgeOut();
    Comm.PurgeIn();
    Comm.Write(Frame, static_cast<int>(Text.size()));
}

bool WaitForAck(TCustomComm& Comm, std::chrono::milliseconds Quiet, const TKeepWaiting& KeepWaiting)
{
    // Silence is counted only while nothing waits; a reply is taken once no character has come
    // for Quiet, so a reply in two parts further apart is judged on its first.
    const Clock::duration SilenceLimit = Quiet * AckPollLimit;
    Clock::duration Silence{};
    Clock::time_point LastArrival = Clock::now();
    int Count = AwaitCount(Comm, -1, {});
    while (Count >= 0 && StillWanted(KeepWaiting)) {
        const Clock::time_point Before = Clock::now();
        if (Count > 0 && Before - LastArrival >= Quiet) {
            char Reply[AckBufferSize];
            const int Got = ReadAll(Comm, Reply, AckBufferSize);
            return IsAcknowledgement(Reply, Got);
        }
        if (Count == 0 && Silence >= SilenceLimit)
            return false;
        const int Now = AwaitCount(Comm, Count, Count == 0 ? Clock::duration(Quiet) : LastArrival + Quiet - Before);
        if (Count == 0)
            Silence += Clock::now() - Before;
        if (Now != Count)
            LastArrival = Clock::now();
        Count = Now;
    }
    return false; // closed (no reply can come), or no longer wanted
}

bool DecodeReadReply(const char* Text, int Count, TBlock& Block)
{
    std::memset(Block, 0, BlockDataSize);
    Block[DecodedLengthIndex] = 0;
    if (Count < 2)
        return false;
    bool Answer = true;
    int Digits = 0;
    int Bytes = 0;
    uint8_t Checksum = 0;
    for (int I = 0; I < Count - 2; ++I) {
        const int Value = DataDigit(Text[I]);
        if (Value < 0)
            continue;
        if (Bytes == BlockDataSize) {
            // More data than one block holds: nothing past the block is stored, and such a
            // reply is not the one that was asked for.
            Answer = false;
            break;
        }
        if (Digits % 2 == 0) {
            Block[Bytes] = static_cast<uint8_t>(Value * 16);
        } else {
            Block[Bytes] = static_cast<uint8_t>(Block[Bytes] + Value);
            Checksum ^= Block[Bytes];
            ++Bytes;
        }
        ++Digits;
    }
    const int High = ChecksumDigit(Text[Count - 2]);
    const int Low = ChecksumDigit(Text[Count - 1]);
    if (High < 0 || Low < 0 || ((High << 4) | Low) != Checksum)
        Answer = false;
    // Fewer than 128 bytes is no complete block, whatever its checksum says: taking it would
    // shift every later block of a read-back file.
    if (Bytes != BlockDataSize)
        Answer = false;
    Block[DecodedLengthIndex] = static_cast<uint8_t>(Bytes);
    return Answer;
}

void SettleLine(TCustomComm& Comm, std::chrono::milliseconds Quiet, const TKeepWaiting& KeepWaiting)
{
    const Clock::time_point Deadline = Clock::now() + Quiet * ReadReplyPollLimit;
    char Discard[ReadReplyBufferSize];
    for (int Count = AwaitCount(Comm, -1, {}); Count >= 0 && Clock::now() < Deadline && StillWanted(KeepWaiting);) {
        if (Count > 0)
            ReadAll(Comm, Discard, ReadReplyBufferSize);
        const int Known = Comm.InQueCount();
        Count = AwaitCount(Comm, Known, std::min<Clock::duration>(Quiet, Deadline - Clock::now()));
        if (Count == Known)
            return;
    }
}

bool JudgeReadReply(const char* Text, int Count, TBlock& Block, int& Missing)
{
    constexpr int DataDigits = 2 * BlockDataSize;
    int Digits = 0;
    int DataEnd = 0; // just past the last data digit of a whole block
    uint8_t Sum = 0;
    for (int I = 0, High = 0; I < Count && Digits < DataDigits; ++I)
        if (const int Value = DataDigit(Text[I]); Value >= 0) {
            if (Digits++ % 2 == 0)
                High = Value;
            else
                Sum ^= static_cast<uint8_t>(High * 16 + Value);
            DataEnd = I + 1;
        }
    Missing = Digits < DataDigits ? DataDigits - Digits + 2 : std::max(1, DataEnd + 2 - Count);
    // The checksum is the two characters after the data and whatever separators follow it; once a
    // further data digit stands ahead of it, the block would be longer than 128 bytes. Each place is
    // judged in constant time, so that a device's long text costs no more than its reading.
    for (int End = DataEnd + 2; Digits == DataDigits && End <= Count; ++End) {
        if (End > DataEnd + 2 && DataDigit(Text[End - 3]) >= 0) {
            Missing = 0;
            break;
        }
        const int High = ChecksumDigit(Text[End - 2]);
        const int Low = ChecksumDigit(Text[End - 1]);
        if (High >= 0 && Low >= 0 && High * 16 + Low == Sum)
            return DecodeReadReply(Text, End, Block);
    }
    DecodeReadReply(Text, Count, Block);
    return false;
}

bool ReceiveReadReply(TCustomComm& Comm, TBlock& Block, std::chrono::milliseconds Quiet,
                      const TKeepWaiting& KeepWaiting)
{
    std::memset(Block, 0, BlockDataSize);
    Block[DecodedLengthIndex] = 0;
    const Clock::time_point Deadline = Clock::now() + Quiet * ReadReplyPollLimit;
    char Reply[ReadReplyBufferSize];
    int Stored = 0;
    int Wanted = ReadReplyThreshold; // characters, stored and waiting, before the text is judged (again)
    Clock::time_point LastArrival{};
    bool Answer = false;
    int Count = AwaitCount(Comm, -1, {});
    while (Count >= 0 && StillWanted(KeepWaiting)) {
        if (Stored + Count >= Wanted) {
            const int Got = Comm.Read(Reply + Stored, ReadReplyBufferSize - Stored);
            if (Got < 0)
                break;
            Stored += Got;
            LastArrival = Clock::now();
            int Missing = 0;
            Answer = JudgeReadReply(Reply, Stored, Block, Missing);
            if (Answer || Missing == 0 || Stored == ReadReplyBufferSize)
                break;
            Wanted = Stored + Missing;
            Count = AwaitCount(Comm, -1, {});
            continue;
        }
        const Clock::time_point Now = Clock::now();
        // A text that did not check out is given up once the line has held still for a pause.
        const Clock::time_point SliceEnd = std::min({Now + Quiet, Deadline, Stored > 0 ? LastArrival + Quiet : Deadline});
        if (Now >= SliceEnd)
            break;
        // The characters still missing cannot come before the line has carried them: looking
        // sooner, at every part the driver passes on, would only cost processor time.
        if (Stored + Count > 0)
            std::this_thread::sleep_for(std::min(LineTime(Comm, Wanted - Stored - Count), SliceEnd - Now));
        const int Arrived = AwaitCount(Comm, Count, SliceEnd - Clock::now());
        if (Arrived != Count)
            LastArrival = Clock::now();
        Count = Arrived;
    }
    if (Count < 0)
        return false; // closed: no reply can come, and nothing is left to discard
    char Discard[ReadReplyBufferSize];
    ReadAll(Comm, Discard, ReadReplyBufferSize);
    return Answer;
}

bool IsAcknowledgement(const char* Text, int Count)
{
    return Count >= 7 && std::memcmp(Text + 3, "O.K.", 4) == 0;
}

bool IsBootReply(const char* Text, int Count)
{
    static constexpr char Marker[] = "BOOT VER";
    constexpr int MarkerLength = sizeof Marker - 1;
    const char* LineEnd = std::find_if(Text, Text + std::max(Count, 0),
                                       [](char C) { return C == '\r' || C == '\n'; });
    return LineEnd - Text >= MarkerLength && std::memcmp(Text, Marker, MarkerLength) == 0;
}
