// Baud rates by number, including those the classic termios speed table lacks.
#pragma once

#include <cstdint>

namespace CommPlatform {
uint32_t CurrentBaudRate(int Descriptor);
bool SetBaudRate(int Descriptor, uint32_t BaudRate);
} // namespace CommPlatform
