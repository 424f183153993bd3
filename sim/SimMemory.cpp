#include "SimMemory.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <stdexcept>

TSimMemory::TSimMemory() : FBytes(SimMap::MemorySize, 0xFF)
{
    const std::array<uint8_t, 4> settings{0x05, 0x00, 0x05, 0x00};
    // Locally administered, so it can't clash with a real device on the same network.
    const std::array<uint8_t, 6> mac{0x02, 0x00, 0x53, 0x30, 0x41, 0x50};
    Write(SimMap::SettingsAddress, settings);
    WriteWord(SimMap::ProtectionAddress, SimMap::DeviceCode);
    Write(SimMap::MacAddress, mac);
}

std::vector<uint8_t> TSimMemory::Read(uint32_t Address, uint32_t Length) const
{
    std::lock_guard lock(FMutex);
    if (Address >= FBytes.size())
        return {};
    const auto count = std::min<size_t>(Length, FBytes.size() - Address);
    return {FBytes.begin() + Address, FBytes.begin() + Address + count};
}

void TSimMemory::Write(uint32_t Address, std::span<const uint8_t> Bytes)
{
    std::lock_guard lock(FMutex);
    if (Address >= FBytes.size())
        return;
    const auto count = std::min(Bytes.size(), FBytes.size() - Address);
    std::copy_n(Bytes.begin(), count, FBytes.begin() + Address);
}

void TSimMemory::WriteWord(uint32_t Address, uint32_t Value)
{
    const std::array<uint8_t, 4> bytes{static_cast<uint8_t>(Value >> 24), static_cast<uint8_t>(Value >> 16),
                                       static_cast<uint8_t>(Value >> 8), static_cast<uint8_t>(Value)};
    Write(Address, bytes);
}

void TSimMemory::LoadFile(const std::string& Path)
{
    std::ifstream file(Path, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot open memory image " + Path);
    std::vector<uint8_t> image(SimMap::MemorySize);
    file.read(reinterpret_cast<char*>(image.data()), static_cast<std::streamsize>(image.size()));
    if (file.gcount() != static_cast<std::streamsize>(image.size()) || file.peek() != std::ifstream::traits_type::eof())
        throw std::runtime_error("memory image " + Path + " is not " + std::to_string(SimMap::MemorySize) + " bytes");
    std::lock_guard lock(FMutex);
    FBytes = std::move(image);
}

void TSimMemory::SaveFile(const std::string& Path) const
{
    std::lock_guard lock(FMutex);
    std::ofstream file(Path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(FBytes.data()), static_cast<std::streamsize>(FBytes.size()));
    file.close();
    if (!file)
        throw std::runtime_error("cannot write memory image " + Path);
}
