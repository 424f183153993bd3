#include "ParamRecords.h"

#include <algorithm>

#include "AwaitDone.h"

namespace {

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
    return Worker.LinkOpen() && Worker.StartBlockWrite(Record, Offset, Kind) == srArmed;
}

TReadState AwaitRead(Tarm_SER& Worker, int (Tarm_SER::*Start)(), const TProcessEvents& ProcessEvents)
{
    if (!Worker.LinkOpen())
        return rsNotRun;
    (Worker.*Start)();
    // Done first: the worker sets the error before it, so a read that ends meanwhile is not taken
    // for a good one.
    const bool Done = AwaitDone(Worker, TThread::Sleep, ProcessEvents);
    if (Worker.Failed())
        return rsFailed;
    return Done ? rsRead : rsTimedOut;
}
