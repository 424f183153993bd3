// The device's parameter records and the two one-block exchanges every parameter job is made of:
// a record written through the worker, and a block read awaited as a window awaits it.
// Both need an open link: the operator's buttons can arm operations on a worker whose port never
// opened, and such an operation can only fail.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>

#include "arm_ser.h"

// Called between the tests of a wait: the window pumps its messages here; the command line has none.
using TProcessEvents = std::function<void()>;

// The four setting codes (see SettingCodes.h), in the device's order.
struct TPortSettings {
    uint8_t UsbBaud = 0;
    uint8_t UsbParity = 0;
    uint8_t MeterBaud = 0;
    uint8_t MeterParity = 0;
};

inline constexpr int ProtectionSize = 4;
inline constexpr uint32_t MacOffset = MacLocation - ParamWriteBase;

// The kinds of StartBlockWrite.
enum TRecordKind : int { rkParameter = 0, rkSettings = 1 };

// The records as the device stores them, most significant byte first. The MAC record keeps bits
// 47..0 of Mac.
std::array<uint8_t, ProtectionSize> ProtectionRecord(uint32_t Word);
std::array<uint8_t, MacAddressSize> MacRecord(uint64_t Mac);
std::array<uint8_t, SettingsSize> SettingsRecord(const TPortSettings& Settings);
// The protection word, then the MAC address.
std::array<uint8_t, ProtectionSize + MacAddressSize> AllRecord(uint32_t Word, uint64_t Mac);

// Arms the write of Record at Offset from Kind's base and returns at once. False when it was not
// armed (link not open, worker busy); the worker's buffer is then untouched.
bool WriteRecord(Tarm_SER& Worker, std::span<const uint8_t> Record, uint32_t Offset, TRecordKind Kind);

enum TReadState {
    rsNotRun,   // link not open: nothing was asked
    rsFailed,   // the worker failed the read: its results are not to be trusted
    rsTimedOut, // not done within the wait: the results hold what they held
    rsRead,
};

// Starts a read with Start (StartProtectionRead, StartMacRead or StartSettingsRead) and waits for
// it to be done at most 200 times 10 ms. A start the busy worker refuses goes unnoticed, as in the window:
// the wait then ends with the earlier operation.
TReadState AwaitRead(Tarm_SER& Worker, int (Tarm_SER::*Start)(), const TProcessEvents& ProcessEvents);
