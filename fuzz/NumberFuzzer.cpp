// The number parser against a plain reading of its rule, digit by digit in 128-bit arithmetic.
#include <cstdlib>
#include <limits>
#include <optional>
#include <string_view>

#include "NumberParse.h"

namespace {

template <class TInt>
std::optional<TInt> Reference(std::string_view Text)
{
    constexpr int Bits = std::numeric_limits<TInt>::digits + 1;
    while (!Text.empty() && Text.front() == ' ')
        Text.remove_prefix(1);
    bool Negative = false;
    if (!Text.empty() && (Text.front() == '-' || Text.front() == '+')) {
        Negative = Text.front() == '-';
        Text.remove_prefix(1);
    }
    unsigned Base = 10;
    for (std::string_view Mark : {"0x", "0X", "$", "x", "X"})
        if (Text.starts_with(Mark)) {
            Text.remove_prefix(Mark.size());
            Base = 16;
            break;
        }
    if (Text.empty())
        return std::nullopt;
    unsigned __int128 Value = 0;
    const unsigned __int128 Limit = (unsigned __int128)1 << Bits; // one past every pattern
    for (char C : Text) {
        unsigned Digit;
        if (C >= '0' && C <= '9')
            Digit = static_cast<unsigned>(C - '0');
        else if (Base == 16 && C >= 'a' && C <= 'f')
            Digit = static_cast<unsigned>(C - 'a' + 10);
        else if (Base == 16 && C >= 'A' && C <= 'F')
            Digit = static_cast<unsigned>(C - 'A' + 10);
        else
            return std::nullopt;
        Value = Value * Base + Digit;
        if (Value >= Limit)
            return std::nullopt;
    }
    if (Base == 10) {
        const unsigned __int128 Max = static_cast<unsigned __int128>(std::numeric_limits<TInt>::max());
        if (Value > Max + (Negative ? 1 : 0))
            return std::nullopt;
    }
    const unsigned __int128 Pattern = Negative ? (Limit - Value) % Limit : Value;
    using TBits = std::make_unsigned_t<TInt>;
    return static_cast<TInt>(static_cast<TBits>(Pattern));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    if (ParseInt32(Text) != Reference<int32_t>(Text) || ParseInt64(Text) != Reference<int64_t>(Text))
        std::abort();
    return 0;
}
