// The operator's number texts, row by row.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "NumberParse.h"

namespace {

struct TParseRow {
    const char* Name;
    std::string_view Text;
    std::optional<int64_t> Int32; // the 32-bit reading, none when it must fail
    std::optional<int64_t> Int64;
};

void PrintTo(const TParseRow& Row, std::ostream* Out) { *Out << '"' << Row.Text << '"'; }

constexpr std::nullopt_t Fails = std::nullopt;

const TParseRow ParseRows[] = {
    {"Zero", "0", 0, 0},
    {"WindowDefaults", "0x00000000", 0, 0},
    {"MacDefault", "0x000000000000", 0, 0},
    {"Decimal", "78", 78, 78},
    {"LeadingZerosDecimal", "0078", 78, 78},
    {"PlusSign", "+78", 78, 78},
    {"MinusSign", "-78", -78, -78},
    {"MinusZero", "-0", 0, 0},
    {"LeadingBlanks", "   0x4E", 78, 78},
    {"BlanksBeforeSign", "  -5", -5, -5},
    {"DollarPrefix", "$4e", 78, 78},
    {"LowerXPrefix", "x4E", 78, 78},
    {"UpperXPrefix", "X4e", 78, 78},
    {"LowerZeroXPrefix", "0x12345678", 0x12345678, 0x12345678},
    {"UpperZeroXPrefix", "0XabCdEf", 0xABCDEF, 0xABCDEF},
    {"LargestDecimal32", "2147483647", INT32_MAX, INT32_MAX},
    {"BeyondDecimal32", "2147483648", Fails, 2147483648},
    {"SmallestDecimal32", "-2147483648", INT32_MIN, INT32_MIN},
    {"BelowDecimal32", "-2147483649", Fails, -2147483649},
    {"LargestDecimal64", "9223372036854775807", Fails, INT64_MAX},
    {"BeyondDecimal64", "9223372036854775808", Fails, Fails},
    {"SmallestDecimal64", "-9223372036854775808", Fails, INT64_MIN},
    {"BelowDecimal64", "-9223372036854775809", Fails, Fails},
    {"EightFDigits", "0xFFFFFFFF", -1, 0xFFFFFFFF},
    {"TopBit32", "$80000000", INT32_MIN, 0x80000000},
    {"NineHexDigits", "0x100000000", Fails, 0x100000000},
    {"LeadingZerosHex", "0x000000001", 1, 1},
    {"MacWidth", "0x00112233AABB", Fails, 0x00112233AABB},
    {"SixteenFDigits", "0xFFFFFFFFFFFFFFFF", Fails, -1},
    {"SeventeenHexDigits", "0x10000000000000000", Fails, Fails},
    {"MinusHex", "-$1", -1, -1},
    {"MinusHexWraps", "-0xFFFFFFFF", 1, -4294967295},
    {"PlusHex", "+x10", 16, 16},
    {"Empty", "", Fails, Fails},
    {"OnlyBlanks", "   ", Fails, Fails},
    {"OnlySign", "-", Fails, Fails},
    {"OnlyPrefix", "0x", Fails, Fails},
    {"OnlyDollar", "$", Fails, Fails},
    {"TrailingBlank", "0x12345678 ", Fails, Fails},
    {"BlankAfterSign", "- 5", Fails, Fails},
    {"BlankAfterPrefix", "0x 5", Fails, Fails},
    {"LeadingTab", "\t5", Fails, Fails},
    {"TwoSigns", "--5", Fails, Fails},
    {"SignAfterPrefix", "0x-5", Fails, Fails},
    {"HexDigitInDecimal", "12A", Fails, Fails},
    {"NonHexDigit", "0x12G4", Fails, Fails},
    {"DoublePrefix", "0x0x5", Fails, Fails},
    {"DollarAfterZero", "0$5", Fails, Fails},
    {"Exponent", "1e3", Fails, Fails},
    {"Fraction", "1.5", Fails, Fails},
    {"Word", "abc", Fails, Fails},
};

class NumberParseTest : public testing::TestWithParam<TParseRow> {};

TEST_P(NumberParseTest, ReadsTheTextAsTheRulesSay)
{
    const TParseRow& Row = GetParam();
    const std::optional<int32_t> Got32 = ParseInt32(Row.Text);
    const std::optional<int64_t> Got64 = ParseInt64(Row.Text);
    EXPECT_EQ(Got32 ? std::optional<int64_t>(*Got32) : std::nullopt, Row.Int32);
    EXPECT_EQ(Got64, Row.Int64);
}

INSTANTIATE_TEST_SUITE_P(Texts, NumberParseTest, testing::ValuesIn(ParseRows),
                         [](const testing::TestParamInfo<TParseRow>& Info) { return std::string(Info.param.Name); });

} // namespace
