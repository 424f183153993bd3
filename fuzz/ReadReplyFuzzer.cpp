// The read-reply decoder against a plain reading of its rule: skip what is not an upper-case digit,
// pair the digits into bytes, take the last two characters as the checksum in either case.
#include <cstdlib>
#include <cstring>

#include "FrameCodec.h"

namespace {

int Nibble(char C, bool AnyCase)
{
    if (C >= '0' && C <= '9')
        return C - '0';
    if (C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    if (AnyCase && C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    return -1;
}

bool Reference(const char* Text, int Count, uint8_t (&Bytes)[BlockDataSize], int& Whole)
{
    std::memset(Bytes, 0, sizeof Bytes);
    Whole = 0;
    if (Count < 2)
        return false;
    int Digits[2 * BlockDataSize + 1];
    int Found = 0;
    for (int I = 0; I < Count - 2 && Found <= 2 * BlockDataSize; ++I)
        if (const int D = Nibble(Text[I], false); D >= 0)
            Digits[Found++] = D;
    const bool TooMany = Found > 2 * BlockDataSize;
    Found = std::min(Found, 2 * BlockDataSize);
    uint8_t Sum = 0;
    for (int I = 0; I + 1 < Found; I += 2) {
        Bytes[I / 2] = static_cast<uint8_t>(Digits[I] * 16 + Digits[I + 1]);
        Sum ^= Bytes[I / 2];
    }
    Whole = Found / 2;
    if (Found % 2 == 1)
        Bytes[Whole] = static_cast<uint8_t>(Digits[Found - 1] * 16);
    const int High = Nibble(Text[Count - 2], true);
    const int Low = Nibble(Text[Count - 1], true);
    return !TooMany && Whole == BlockDataSize && High >= 0 && Low >= 0 && High * 16 + Low == Sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    // What one read can take: the reply buffer.
    const int Count = static_cast<int>(std::min<size_t>(Size, ReadReplyBufferSize));
    const char* Text = reinterpret_cast<const char*>(Data);
    TBlock Block;
    std::memset(Block, 0xA5, sizeof Block);
    const bool Answer = DecodeReadReply(Text, Count, Block);
    uint8_t Expected[BlockDataSize];
    int Whole = 0;
    const bool ExpectedAnswer = Reference(Text, Count, Expected, Whole);
    if (Answer != ExpectedAnswer || Block[DecodedLengthIndex] != Whole ||
        std::memcmp(Block, Expected, BlockDataSize) != 0)
        std::abort();
    // The bytes past the data and the decoded-length byte are never written.
    if (Block[128] != 0xA5 || Block[130] != 0xA5 || Block[131] != 0xA5)
        std::abort();
    // Judged as text still arriving: a whole text that checks out is taken, and one taken holds a
    // whole block.
    int Missing = -1;
    const bool Taken = JudgeReadReply(Text, Count, Block, Missing);
    if ((Answer && !Taken) || (Taken && Block[DecodedLengthIndex] != BlockDataSize) || Missing < 0 ||
        Block[128] != 0xA5 || Block[130] != 0xA5 || Block[131] != 0xA5)
        std::abort();
    return 0;
}
