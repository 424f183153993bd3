// The serial interface's constants under their Win32 names: on Windows the system's own, elsewhere
// stand-ins with the same values, so that each platform sees exactly one definition of each.
#pragma once

#include <cstdint>

#include "SerialHandle.h"

#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#else

inline constexpr THandle INVALID_HANDLE_VALUE = -1;
inline constexpr uint32_t INFINITE = 0xFFFFFFFF;

// Parity and stop-bit values of the line state record.
inline constexpr uint8_t NOPARITY = 0, ODDPARITY = 1, EVENPARITY = 2, MARKPARITY = 3, SPACEPARITY = 4;
inline constexpr uint8_t ONESTOPBIT = 0, ONE5STOPBITS = 1, TWOSTOPBITS = 2;

// Line events the event thread reports.
inline constexpr uint32_t EV_RXCHAR = 0x0001, EV_RXFLAG = 0x0002, EV_TXEMPTY = 0x0004,
                          EV_CTS = 0x0008, EV_DSR = 0x0010, EV_RLSD = 0x0020, EV_BREAK = 0x0040,
                          EV_ERR = 0x0080, EV_RING = 0x0100;

// Purge flags.
inline constexpr uint32_t PURGE_TXABORT = 0x01, PURGE_RXABORT = 0x02, PURGE_TXCLEAR = 0x04,
                          PURGE_RXCLEAR = 0x08;

// Extended line functions.
inline constexpr uint32_t SETDTR = 5, CLRDTR = 6;

// Line error word bits.
inline constexpr uint32_t CE_RXOVER = 0x0001, CE_OVERRUN = 0x0002, CE_RXPARITY = 0x0004,
                          CE_FRAME = 0x0008, CE_BREAK = 0x0010;

#endif
