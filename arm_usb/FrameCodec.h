// The device's boot loader protocol: upper-case hexadecimal request frames ended by CR, and the
// replies the PC accepts (an "O.K." acknowledgement, a 128-byte read reply with its XOR checksum,
// and the "BOOT VER" boot reply).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

class TCustomComm;

enum TCommand : uint8_t {
    cmdWriteBlock = 0x02,
    cmdReadBlock = 0x03,
    cmdWriteParam = 0x0B,
    cmdBootQuery = 0x50,
};

inline constexpr int FrameSize = 424;           // frame buffer; a full write request uses 273
inline constexpr int BlockSize = 132;           // block buffer
inline constexpr int BlockDataSize = 128;       // bytes 0-127 of the block buffer
inline constexpr int DecodedLengthIndex = 129;  // byte of the block buffer: whole bytes decoded
inline constexpr int AckBufferSize = 259;
// Room for a read reply with up to three separator characters between its byte pairs and a line of
// text around it: a device may frame its digits so, and a reply cut off by the buffer never checks out.
inline constexpr int ReadReplyBufferSize = 1024;
inline constexpr int BootReplyBufferSize = 200;
inline constexpr int ReadReplyThreshold = 258;  // 256 data digits and the checksum
inline constexpr int AckPollLimit = 1100;       // pauses of silence before an acknowledgement wait ends
inline constexpr int ReadReplyPollLimit = 50;   // pauses without a complete read reply
inline constexpr std::chrono::milliseconds PollPause{10}; // the protocol's unit of waiting
inline constexpr std::chrono::milliseconds BootReplyWait{250};

// The boot query: prefix 00, address 000000, command 50, length 0000, CR.
inline constexpr char BootQueryFrame[] = "00000000500000\r";
inline constexpr int BootQueryLength = 15;

using TFrame = char[FrameSize];
using TBlock = uint8_t[BlockSize];

// Purges both queues, then sends the 15 characters of a read request one character per write.
void SendReadRequest(TCustomComm& Comm, uint8_t Prefix, uint32_t Address, uint8_t Command, int Length);

// Builds a write request of the first Length (0 to 128) bytes of Block in Frame, purges both
// queues, and sends the 2 * Length + 17 characters with one write.
void SendWriteRequest(TCustomComm& Comm, TFrame& Frame, const TBlock& Block, uint8_t Prefix,
                      uint32_t Address, uint8_t Command, int Length);

// Asked at least once a pause during a reply wait; false ends the wait as a failed exchange (a run that
// was abandoned meanwhile, say). Empty: wait as long as the limits allow.
using TKeepWaiting = std::function<bool()>;

// The reply waits below end as a failed exchange on a closed port (a negative input count), and
// raise ECommError when the port's device is gone (TCustomComm::CheckDeviceLost).

// The waits below look at each arrival as it happens (TCustomComm::WaitForInputChange), so a reply
// is taken as soon as the protocol's rules allow, not at the next step of a fixed grid.

// True when characters 4 to 7 of the reply are "O.K.". The reply is taken once no character has
// arrived for one pause; the wait ends after AckPollLimit pauses of silence, counted while nothing
// is waiting.
bool WaitForAck(TCustomComm& Comm, std::chrono::milliseconds Pause = PollPause,
                const TKeepWaiting& KeepWaiting = {});

// Decodes a read reply into Block (data and decoded-length byte are set in every case); true when
// it was complete with a matching checksum. The reply is judged as soon as ReadReplyThreshold
// characters wait and taken when it checks out; when it does not, the characters that go on arriving
// are taken and the whole text judged again, until it checks out, the line has held still for a
// pause, the buffer is full or ReadReplyPollLimit pauses have passed. Discards what is left in the
// input queue.
bool ReceiveReadReply(TCustomComm& Comm, TBlock& Block, std::chrono::milliseconds Pause = PollPause,
                      const TKeepWaiting& KeepWaiting = {});

// Decodes Count characters of a read reply (the last two are the checksum) into Block; true for
// exactly 128 bytes with a matching checksum.
bool DecodeReadReply(const char* Text, int Count, TBlock& Block);

// Drops what the device still sends after a read reply (text after its checksum) until the line has
// held still for Quiet, ReadReplyPollLimit pauses at most: called before a write request that follows
// a read, so that none of it lands ahead of the acknowledgement, whose characters count by position.
void SettleLine(TCustomComm& Comm, std::chrono::milliseconds Quiet = PollPause,
                const TKeepWaiting& KeepWaiting = {});

// Judges Count characters received so far as a read reply: true when they begin with one that
// checks out (DecodeReadReply), whatever the device sent after its checksum. Block then holds its
// data, else what the whole text decodes to. Missing is set to the fewest further characters that
// could still make the text check out, 0 when none can (a 257th data digit ahead of every possible
// checksum).
bool JudgeReadReply(const char* Text, int Count, TBlock& Block, int& Missing);

// True when Count characters read as a write's answer hold "O.K." at the 4th to 7th character.
bool IsAcknowledgement(const char* Text, int Count);

// True when the first line of Text (up to the first CR or LF) begins with "BOOT VER".
bool IsBootReply(const char* Text, int Count);

// Upper-case hexadecimal of Value, left-filled with 0 to Digits characters.
std::string Hex(uint32_t Value, int Digits);
