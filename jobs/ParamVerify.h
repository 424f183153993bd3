// The parameter writes as the command line makes them: refused when too wide, then written,
// awaited, read back and compared, so that a production script learns whether the unit holds the
// value. The window's writes (ParamJobs.h) stay silent and drop the MAC's top bits instead.
#pragma once

#include <cstdint>

#include "ParamRecords.h"

enum TWriteCheck {
    wcWritten,
    wcTooWide,         // nothing sent
    wcNotArmed,        // link not open or worker busy; nothing sent
    wcUnfinished,      // the worker did not finish the write in time
    wcNotAcknowledged, // the device did not acknowledge the write
    wcReadFailed,      // the read-back failed
    wcDiffers,         // the device holds other bytes than were written
};

// "written", or what went wrong.
const char* WriteCheckText(TWriteCheck Check);

inline constexpr int MacAddressBits = 48;
bool FitsMacAddress(uint64_t Mac);

TWriteCheck WriteProtectionChecked(Tarm_SER& Worker, uint32_t Word);
TWriteCheck WriteMacAddressChecked(Tarm_SER& Worker, uint64_t Mac);
TWriteCheck WriteSettingsChecked(Tarm_SER& Worker, const TPortSettings& Settings);
TWriteCheck WriteAllChecked(Tarm_SER& Worker, uint32_t Word, uint64_t Mac);
