#include "NumberParse.h"

#include <charconv>
#include <limits>
#include <type_traits>

namespace {

template <class TInt>
std::optional<TInt> ParseInteger(std::string_view Text)
{
    using TBits = std::make_unsigned_t<TInt>;
    const size_t Start = Text.find_first_not_of(' ');
    if (Start == std::string_view::npos)
        return std::nullopt;
    Text.remove_prefix(Start);
    const bool Negative = Text.front() == '-';
    if (Negative || Text.front() == '+')
        Text.remove_prefix(1);
    int Base = 10;
    if (Text.starts_with("0x") || Text.starts_with("0X")) {
        Text.remove_prefix(2);
        Base = 16;
    } else if (Text.starts_with('$') || Text.starts_with('x') || Text.starts_with('X')) {
        Text.remove_prefix(1);
        Base = 16;
    }
    // Parsed as unsigned, so that from_chars itself takes no second sign.
    TBits Magnitude = 0;
    const char* End = Text.data() + Text.size();
    const auto [Stop, Error] = std::from_chars(Text.data(), End, Magnitude, Base);
    if (Text.empty() || Error != std::errc{} || Stop != End)
        return std::nullopt;
    if (Base == 10 && Magnitude > TBits{std::numeric_limits<TInt>::max()} + (Negative ? 1u : 0u))
        return std::nullopt;
    return static_cast<TInt>(Negative ? TBits(0 - Magnitude) : Magnitude);
}

} // namespace

std::optional<int32_t> ParseInt32(std::string_view Text) { return ParseInteger<int32_t>(Text); }

std::optional<int64_t> ParseInt64(std::string_view Text) { return ParseInteger<int64_t>(Text); }
