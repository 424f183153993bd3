// The device's memory as the worker sees it: seven fixed 32-bit values, in the order of the table.
#pragma once

#include <cstdint>

inline constexpr uint32_t DeviceCode = 78;              // protection word of a device of this type
inline constexpr uint32_t ParamWriteBase = 0x3F000;     // base of parameter writes (cmdWriteParam)
inline constexpr uint32_t ProtectionAddress = 0x3F000;  // 4 bytes, most significant first
inline constexpr uint32_t MacLocation = 0x3F004;        // 6 bytes, right behind the protection word
inline constexpr uint32_t FirmwareStart = 0x8000;
inline constexpr uint32_t FirmwareEnd = 0x23FFF;        // inclusive: 896 blocks of 128 bytes
inline constexpr uint32_t SettingsAddress = 0x24000;    // 4 bytes; base of settings writes

inline constexpr uint32_t FirmwareAreaSize = FirmwareEnd - FirmwareStart + 1;

// The one rule for an image of Size bytes written from Start: an empty one would still write a block
// of zeros, and one that ends past the firmware area would run on into the port settings, the
// protection word and the MAC address.
inline constexpr bool ImageFits(int64_t Size, uint32_t Start = FirmwareStart)
{
    return Size > 0 && Start + Size - 1 <= int64_t{FirmwareEnd};
}
