// The device keeps each port setting as one byte: the index of its text in the window's list.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

using TSettingList = std::span<const std::string_view>;

inline constexpr std::array<std::string_view, 10> BaudTexts = {
    "300", "600", "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200",
};
inline constexpr std::array<std::string_view, 3> ParityTexts = {"NONE", "EVEN", "ODD"};

// The meter bus goes up to 38400: the first eight of the USB side's rates.
inline constexpr TSettingList UsbBaudList{BaudTexts};
inline constexpr TSettingList MeterBaudList = TSettingList{BaudTexts}.first(8);
inline constexpr TSettingList ParityList{ParityTexts};

// The text a code stands for in List; "Error" for a code without an entry.
std::string_view SettingText(TSettingList List, uint8_t Code);
// The code of Text, which must be one of List's texts exactly; none otherwise.
std::optional<uint8_t> SettingCode(TSettingList List, std::string_view Text);
