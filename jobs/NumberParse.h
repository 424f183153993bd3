// The one reading of the numbers an operator types, for the window's edit fields and the command
// line alike.
//
// Accepted: optional leading blanks (spaces); an optional "+" or "-"; then decimal digits, or
// hexadecimal digits in either case behind "$", "x", "X", "0x" or "0X". Nothing may follow the
// digits, not even a blank; a text without digits fails.
// A decimal value must fit the signed range. Hexadecimal digits give the bit pattern and may use
// every bit of the width (eight F digits make -1 for 32 bits); leading zeros are free, but a value
// that needs more bits fails. A "-" before hexadecimal digits negates that pattern in two's
// complement ("-$1" is -1, "-$FFFFFFFF" is 1 for 32 bits), a "+" changes nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

std::optional<int32_t> ParseInt32(std::string_view Text);
std::optional<int64_t> ParseInt64(std::string_view Text);
