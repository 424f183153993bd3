// What the device's protocol looks like on the line, written independently of the code under test.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Upper-case hexadecimal of Value, Width digits.
inline std::string HexText(uint32_t Value, int Width)
{
    char Text[16];
    std::snprintf(Text, sizeof Text, "%0*X", Width, Value);
    return Text;
}

// The device's read reply for Bytes: two digits each, then their XOR.
inline std::string ReadReplyFor(const std::vector<uint8_t>& Bytes)
{
    std::string Text;
    uint8_t Checksum = 0;
    for (uint8_t Byte : Bytes) {
        Text += HexText(Byte, 2);
        Checksum ^= Byte;
    }
    return Text + HexText(Checksum, 2);
}
