#include "ParamVerify.h"

#include <algorithm>
#include <chrono>
#include <initializer_list>
#include <thread>
#include <vector>

#include "FrameCodec.h"
#include "ParamJobs.h"

namespace {

// Longer than the worker's wait for an acknowledgement that never comes (1100 polls of 10 ms).
constexpr auto WriteBound = std::chrono::seconds(30);

enum TField { fdProtection, fdMacAddress, fdSettings };

bool AwaitIdle(const Tarm_SER& Worker)
{
    const auto End = std::chrono::steady_clock::now() + WriteBound;
    while (!Worker.Idle()) {
        if (std::chrono::steady_clock::now() >= End)
            return false;
        std::this_thread::sleep_for(PollPause);
    }
    return true;
}

// Reads Field from the device and appends its bytes to Bytes; false when the read did not succeed.
bool ReadBack(Tarm_SER& Worker, TField Field, std::vector<uint8_t>& Bytes)
{
    static constexpr int (Tarm_SER::*Starts[])() = {
        &Tarm_SER::StartProtectionRead, &Tarm_SER::StartMacRead, &Tarm_SER::StartSettingsRead};
    if (AwaitRead(Worker, Starts[Field], {}) != rsRead)
        return false;
    switch (Field) {
    case fdProtection: {
        const auto Word = ProtectionRecord(Worker.ProtectionWord());
        Bytes.insert(Bytes.end(), Word.begin(), Word.end());
        break;
    }
    case fdMacAddress: {
        const auto Address = Worker.MacAddress();
        Bytes.insert(Bytes.end(), Address.begin(), Address.end());
        break;
    }
    case fdSettings: {
        const auto Codes = Worker.Settings();
        Bytes.insert(Bytes.end(), Codes.begin(), Codes.end());
        break;
    }
    }
    return true;
}

// The outcome of a write that Armed tells of, once Fields read back as Expected.
TWriteCheck Check(Tarm_SER& Worker, bool Armed, std::span<const uint8_t> Expected, std::initializer_list<TField> Fields)
{
    if (!Armed)
        return wcNotArmed;
    if (!AwaitIdle(Worker))
        return wcUnfinished;
    if (Worker.Failed())
        return wcNotAcknowledged;
    std::vector<uint8_t> Bytes;
    for (TField Field : Fields)
        if (!ReadBack(Worker, Field, Bytes))
            return wcReadFailed;
    return std::ranges::equal(Bytes, Expected) ? wcWritten : wcDiffers;
}

} // namespace

const char* WriteCheckText(TWriteCheck Check)
{
    switch (Check) {
    case wcWritten: return "written";
    case wcTooWide: return "the MAC address is wider than 48 bits";
    case wcNotArmed: return "not written: the link is not open or the worker is busy";
    case wcUnfinished: return "not written: the worker did not finish the write in time";
    case wcNotAcknowledged: return "not written: the device did not acknowledge the write";
    case wcReadFailed: return "written, but the read-back failed";
    case wcDiffers: return "written, but the device reads back other bytes";
    }
    return "";
}

bool FitsMacAddress(uint64_t Mac) { return Mac >> MacAddressBits == 0; }

TWriteCheck WriteProtectionChecked(Tarm_SER& Worker, uint32_t Word)
{
    const bool Armed = WriteProtection(Worker, Word);
    return Check(Worker, Armed, ProtectionRecord(Word), {fdProtection});
}

TWriteCheck WriteMacAddressChecked(Tarm_SER& Worker, uint64_t Mac)
{
    if (!FitsMacAddress(Mac))
        return wcTooWide;
    const bool Armed = WriteMacAddress(Worker, Mac);
    return Check(Worker, Armed, MacRecord(Mac), {fdMacAddress});
}

TWriteCheck WriteSettingsChecked(Tarm_SER& Worker, const TPortSettings& Settings)
{
    const bool Armed = WriteSettings(Worker, Settings);
    return Check(Worker, Armed, SettingsRecord(Settings), {fdSettings});
}

TWriteCheck WriteAllChecked(Tarm_SER& Worker, uint32_t Word, uint64_t Mac)
{
    if (!FitsMacAddress(Mac))
        return wcTooWide;
    const bool Armed = WriteAll(Worker, Word, Mac);
    return Check(Worker, Armed, AllRecord(Word, Mac), {fdProtection, fdMacAddress});
}
