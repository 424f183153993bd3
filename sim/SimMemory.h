// The simulated device's memory: one flat byte image of its address space, shared between the
// simulator's thread and whoever inspects it.
#pragma once

#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <vector>

// Where the device keeps what the tool reads and writes.
namespace SimMap {
constexpr uint32_t MemorySize = 0x40000;
constexpr uint32_t SettingsAddress = 0x24000;
constexpr uint32_t ProtectionAddress = 0x3F000;
constexpr uint32_t MacAddress = 0x3F004;
constexpr uint32_t DeviceCode = 0x4E;
} // namespace SimMap

class TSimMemory {
public:
    // Fresh device: everything erased (0xFF), then the factory defaults: port settings 05 00 05 00,
    // protection word DeviceCode, MAC address 02 00 53 30 41 50.
    TSimMemory();

    // Out-of-range parts are not read: the result is shorter. Writes beyond the end are dropped.
    std::vector<uint8_t> Read(uint32_t Address, uint32_t Length) const;
    void Write(uint32_t Address, std::span<const uint8_t> Bytes);
    void WriteWord(uint32_t Address, uint32_t Value); // most significant byte first

    // A flat image of addresses 0 to MemorySize - 1. Load throws std::runtime_error when the file
    // can't be read or has another size; Save throws when it can't be written.
    void LoadFile(const std::string& Path);
    void SaveFile(const std::string& Path) const;

private:
    mutable std::mutex FMutex;
    std::vector<uint8_t> FBytes;
};
