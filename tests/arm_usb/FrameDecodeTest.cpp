// The codec's pure parts: decoding a read reply and judging the boot reply, with no line.
#include "FrameCodec.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "BlockBytes.h"
#include "DeviceText.h"

namespace {

TEST(FrameCodec, DecodesReadRepliesAndChecksTheirChecksum)
{
    const std::vector<uint8_t> Bytes = CountingBlock();
    const std::string Reply = ReadReplyFor(Bytes);
    ASSERT_EQ(Reply.size(), 258u);
    TBlock Block{};

    EXPECT_TRUE(DecodeReadReply(Reply.data(), 258, Block));
    EXPECT_EQ(DataOf(Block), Bytes);
    EXPECT_EQ(Block[DecodedLengthIndex], 128);

    std::string Wrong = Reply;
    Wrong[257] = Wrong[257] == '0' ? '1' : '0';
    EXPECT_FALSE(DecodeReadReply(Wrong.data(), 258, Block));
    EXPECT_EQ(DataOf(Block), Bytes);
    EXPECT_EQ(Block[DecodedLengthIndex], 128);

    // Separators among the data digits are skipped; the checksum may be lower case.
    std::string Spaced;
    for (size_t I = 0; I < 256; I += 2)
        Spaced += Reply.substr(I, 2) + (I % 32 == 30 ? "\r\n" : " ");
    std::string Checksum = Reply.substr(256);
    for (char& C : Checksum)
        C = static_cast<char>(std::tolower(C));
    Spaced += Checksum;
    EXPECT_TRUE(DecodeReadReply(Spaced.data(), static_cast<int>(Spaced.size()), Block));
    EXPECT_EQ(DataOf(Block), Bytes);

    // Lower-case data digits are not data: "ab" pairs decode to nothing. A reply that decodes
    // to fewer than 128 bytes fails even when its checksum fits what it holds.
    std::string Lower = Reply;
    Lower.replace(2, 2, "ab");
    EXPECT_FALSE(DecodeReadReply(Lower.data(), 258, Block));
    EXPECT_EQ(Block[0], Bytes[0]);
    EXPECT_EQ(Block[1], Bytes[2]);
    EXPECT_EQ(Block[DecodedLengthIndex], 127);
    const std::string Short = "12" + std::string(254, ' ') + "12";
    EXPECT_FALSE(DecodeReadReply(Short.data(), 258, Block));
    EXPECT_EQ(Block[0], 0x12);
    EXPECT_EQ(Block[DecodedLengthIndex], 1);

    // A trailing unpaired digit is left in the next byte without counting it.
    const std::string Odd = "12A" + HexText(0x12, 2);
    EXPECT_FALSE(DecodeReadReply(Odd.data(), static_cast<int>(Odd.size()), Block));
    EXPECT_EQ(Block[1], 0xA0);
    EXPECT_EQ(Block[DecodedLengthIndex], 1);

    // A checksum character that is no digit fails the reply.
    const std::string NoDigit = "12G2";
    EXPECT_FALSE(DecodeReadReply(NoDigit.data(), 4, Block));

    // More data digits than one block holds: nothing past the block, and the reply fails.
    const std::string Long = std::string(300, 'F') + "00";
    EXPECT_FALSE(DecodeReadReply(Long.data(), static_cast<int>(Long.size()), Block));
    EXPECT_EQ(Block[DecodedLengthIndex], 128);
    EXPECT_EQ(Block[DecodedLengthIndex - 1], 0) << "byte 128 carries nothing";

    EXPECT_FALSE(DecodeReadReply("F", 1, Block));
    EXPECT_EQ(Block[DecodedLengthIndex], 0);
}

struct TBootCase {
    const char* Name;
    std::string Reply;
    bool BootMode;
};
void PrintTo(const TBootCase& Case, std::ostream* Out) { *Out << Case.Name; }

class BootReply : public testing::TestWithParam<TBootCase> {};

TEST_P(BootReply, IsJudgedByItsFirstLine)
{
    const TBootCase& Case = GetParam();
    EXPECT_EQ(IsBootReply(Case.Reply.data(), static_cast<int>(Case.Reply.size())), Case.BootMode);
}

INSTANTIATE_TEST_SUITE_P(Table, BootReply,
                         testing::Values(TBootCase{"WithVersionAndLineEnd", "BOOT VER 1.05\r\n", true},
                                         TBootCase{"Bare", "BOOT VER", true},
                                         TBootCase{"LongerWordThenMore", "BOOT VERSION 2\nmore", true},
                                         TBootCase{"LeadingCarriageReturn", "\rBOOT VER 1.05", false},
                                         TBootCase{"LeadingLineFeed", "\nBOOT VER", false},
                                         TBootCase{"LeadingSpace", " BOOT VER 1.05", false},
                                         TBootCase{"LowerCase", "boot ver 1.05", false},
                                         TBootCase{"Cut", "BOOT VE", false},
                                         TBootCase{"SplitOverTwoLines", "BOOT\rVER", false},
                                         TBootCase{"Empty", "", false}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

} // namespace
