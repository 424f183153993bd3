// Line-setting enumerations of the serial port component and the line state record they map to.
// The record keeps the Win32 DCB members and flag values on every platform, so the mapping tables
// are the same everywhere; each platform back end applies the record to its own driver. The values
// its Parity, StopBits and the event words take are named in SerialDefs.h.
#pragma once

#include <cstdint>

#include "Set.h"

enum TBaudrate : uint8_t {
    br110, br300, br600, br1200, br2400, br4800, br9600, br14400, br19200, br38400, br56000, br57600,
    br115200, br128000, br256000
};
enum TParity : uint8_t { paNone, paOdd, paEven, paMark, paSpace };
enum TStopbits : uint8_t { sb10, sb15, sb20 };
enum TDatabits : uint8_t { da4, da5, da6, da7, da8 };
enum TFlowControl : uint8_t { fcNone, fcCTS, fcDTR, fcSoftware, fcDefault };
enum TCommOption : uint8_t { coParityCheck, coDsrSensitivity, coIgnoreXOff, coErrorChar, coNullStrip };
enum TCommEventType : uint8_t {
    evBreak, evCts, evDsr, evError, evRing, evRlsd, evRxChar, evRxFlag, evTxEmpty
};

using TCommOptions = TSet<TCommOption, uint8_t>;
using TCommEventTypes = TSet<TCommEventType, uint16_t>;

inline constexpr TCommEventTypes AllCommEvents =
    TCommEventTypes::FromBits(0x01FF);

// Line state record, member for member the Win32 DCB.
struct TDCB {
    uint32_t DCBlength = sizeof(TDCB);
    uint32_t BaudRate = 0;
    uint32_t Flags = 0;
    uint16_t wReserved = 0;
    uint16_t XonLim = 0;
    uint16_t XoffLim = 0;
    uint8_t ByteSize = 0;
    uint8_t Parity = 0;
    uint8_t StopBits = 0;
    char XonChar = 0;
    char XoffChar = 0;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
    uint16_t wReserved1 = 0;
};

// Bits of TDCB::Flags.
namespace dcb {
inline constexpr uint32_t fBinary = 0x0001;
inline constexpr uint32_t fParity = 0x0002;
inline constexpr uint32_t fOutxCtsFlow = 0x0004;
inline constexpr uint32_t fOutxDsrFlow = 0x0008;
inline constexpr uint32_t fDtrControlMask = 0x0030;
inline constexpr uint32_t DtrControlEnable = 0x0010;
inline constexpr uint32_t DtrControlHandshake = 0x0020;
inline constexpr uint32_t fDsrSensitivity = 0x0040;
inline constexpr uint32_t fTXContinueOnXoff = 0x0080;
inline constexpr uint32_t fOutX = 0x0100;
inline constexpr uint32_t fInX = 0x0200;
inline constexpr uint32_t fErrorChar = 0x0400;
inline constexpr uint32_t fNull = 0x0800;
inline constexpr uint32_t fRtsControlMask = 0x3000;
inline constexpr uint32_t RtsControlEnable = 0x1000;
inline constexpr uint32_t RtsControlHandshake = 0x2000;
inline constexpr uint32_t fAbortOnError = 0x4000;
} // namespace dcb
