#include "FrameCodec.h"

#include <algorithm>
#include <cstring>

#include "CommInt.h"
#include "Thread.h"

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

void Pause(std::chrono::milliseconds Duration) { TThread::Sleep(static_cast<unsigned>(Duration.count())); }

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

// The input count for a reply wait: a device that has gone away ends the exchange as a port error
// rather than as silence.
int PollCount(TCustomComm& Comm)
{
    const int Count = Comm.InQueCount();
    Comm.CheckDeviceLost();
    return Count;
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

bool WaitForAck(TCustomComm& Comm, std::chrono::milliseconds PauseLength, const TKeepWaiting& KeepWaiting)
{
    int LastCount = 0;
    int EmptyPolls = 0;
    while (EmptyPolls < AckPollLimit && StillWanted(KeepWaiting)) {
        int Count = PollCount(Comm);
        if (Count == 0) {
            ++EmptyPolls;
            Pause(PauseLength);
            Count = PollCount(Comm);
        }
        if (Count < 0)
            return false; // closed: no reply can come
        if (Count > 0 && Count != LastCount) {
            LastCount = Count;
            Pause(PauseLength);
        } else if (Count > 0) {
            char Reply[AckBufferSize];
            const int Got = ReadAll(Comm, Reply, AckBufferSize);
            return IsAcknowledgement(Reply, Got);
        }
    }
    return false;
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

bool ReceiveReadReply(TCustomComm& Comm, TBlock& Block, std::chrono::milliseconds PauseLength,
                      const TKeepWaiting& KeepWaiting)
{
    std::memset(Block, 0, BlockDataSize);
    Block[DecodedLengthIndex] = 0;
    bool Answer = false;
    int Polls = 0;
    while (Polls < ReadReplyPollLimit && StillWanted(KeepWaiting)) {
        int Count = PollCount(Comm);
        if (Count == 0) {
            ++Polls;
            Pause(PauseLength);
            Count = PollCount(Comm);
        }
        if (Count < 0)
            return false; // closed: no reply can come, and nothing is left to discard
        if (Count >= ReadReplyThreshold) {
            char Reply[ReadReplyBufferSize];
            const int Got = Comm.Read(Reply, ReadReplyBufferSize);
            Answer = Got >= 0 && DecodeReadReply(Reply, Got, Block);
            break;
        }
        if (Count > 0) {
            Pause(PauseLength);
            ++Polls;
        }
    }
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
