#include "ParamRecords.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

constexpr int ReadWaits = 200;
constexpr auto ReadWaitStep = std::chrono::milliseconds(10);

bool LinkOpen(const Tarm_SER& Worker) { return Worker.FLinkOpen.load(std::memory_order_acquire) == 1; }

template <size_t Size>
std::array<uint8_t, Size> BigEndian(uint64_t Value)
{
    std::array<uint8_t, Size> Bytes{};
    for (size_t I = 0; I < Size; ++I)
        Bytes[I] = static_cast<uint8_t>(Value >> (8 * (Size - 1 - I)));
    return Bytes;
}

} // namespace

std::array<uint8_t, ProtectionSize> ProtectionRecord(uint32_t Word) { return BigEndian<ProtectionSize>(Word); }

std::array<uint8_t, MacAddressSize> MacRecord(uint64_t Mac) { return BigEndian<MacAddressSize>(Mac); }

std::array<uint8_t, SettingsSize> SettingsRecord(const TPortSettings& Settings)
{
    return {Settings.UsbBaud, Settings.UsbParity, Settings.MeterBaud, Settings.MeterParity};
}

std::array<uint8_t, ProtectionSize + MacAddressSize> AllRecord(uint32_t Word, uint64_t Mac)
{
    std::array<uint8_t, ProtectionSize + MacAddressSize> Record;
    const auto Protection = ProtectionRecord(Word);
    const auto Address = MacRecord(Mac);
    std::copy(Address.begin(), Address.end(), std::copy(Protection.begin(), Protection.end(), Record.begin()));
    return Record;
}

bool WriteRecord(Tarm_SER& Worker, std::span<const uint8_t> Record, uint32_t Offset, TRecordKind Kind)
{
    // The worker may be reading FOutBuffer until it is back at opIdle.
    if (!LinkOpen(Worker) || Worker.FOperation.load(std::memory_order_acquire) != opIdle)
        return false;
    std::fill(std::begin(Worker.FOutBuffer), std::end(Worker.FOutBuffer), uint8_t{0xFF});
    std::copy(Record.begin(), Record.end(), Worker.FOutBuffer);
    return Worker.StartBlockWrite(static_cast<int>(Record.size()), Offset, Kind) == srArmed;
}

TReadState AwaitRead(Tarm_SER& Worker, int (Tarm_SER::*Start)(), const TProcessEvents& ProcessEvents)
{
    if (!LinkOpen(Worker))
        return rsNotRun;
    (Worker.*Start)();
    for (int Waits = 0; Waits < ReadWaits && !Worker.FDone.load(std::memory_order_acquire); ++Waits) {
        std::this_thread::sleep_for(ReadWaitStep);
        if (ProcessEvents)
            ProcessEvents();
    }
    // FDone first: the worker sets FError before it, so a read that ends meanwhile is not taken
    // for a good one.
    const bool Done = Worker.FDone.load(std::memory_order_acquire);
    if (Worker.FError.load(std::memory_order_acquire))
        return rsFailed;
    return Done ? rsRead : rsTimedOut;
}
