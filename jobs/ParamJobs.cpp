#include "ParamJobs.h"

#include <cstdio>

#include "SettingCodes.h"

namespace {

constexpr const char* ProtectionReadFailed = "Error in Read Protection!";
constexpr const char* DataReadFailed = "Error in Read Data!";

std::string HexBytes(const char* Format, const uint8_t* Bytes, int Count)
{
    std::string Text;
    for (int I = 0; I < Count; ++I) {
        char Digits[4];
        std::snprintf(Digits, sizeof Digits, Format, Bytes[I]);
        Text += Digits;
    }
    return Text;
}

} // namespace

bool WriteSettings(Tarm_SER& Worker, const TPortSettings& Settings)
{
    return WriteRecord(Worker, SettingsRecord(Settings), 0, rkSettings);
}

bool WriteProtection(Tarm_SER& Worker, uint32_t Word)
{
    return WriteRecord(Worker, ProtectionRecord(Word), 0, rkParameter);
}

bool WriteMacAddress(Tarm_SER& Worker, uint64_t Mac)
{
    return WriteRecord(Worker, MacRecord(Mac), MacOffset, rkParameter);
}

bool WriteAll(Tarm_SER& Worker, uint32_t Word, uint64_t Mac)
{
    return WriteRecord(Worker, AllRecord(Word, Mac), 0, rkParameter);
}

std::optional<TReadText> ReadProtection(Tarm_SER& Worker, const TProcessEvents& ProcessEvents)
{
    const TReadState State = AwaitRead(Worker, &Tarm_SER::StartProtectionRead, ProcessEvents);
    if (State == rsNotRun)
        return std::nullopt;
    if (State == rsFailed)
        return TReadText{false, ProtectionReadFailed};
    const auto Word = ProtectionRecord(Worker.ProtectionWord());
    return TReadText{State == rsRead, HexBytes("%02X", Word.data(), ProtectionSize)};
}

std::optional<TReadText> ReadMacAddress(Tarm_SER& Worker, const TProcessEvents& ProcessEvents)
{
    const TReadState State = AwaitRead(Worker, &Tarm_SER::StartMacRead, ProcessEvents);
    if (State == rsNotRun)
        return std::nullopt;
    if (State == rsFailed)
        return TReadText{false, DataReadFailed};
    return TReadText{State == rsRead, "0x" + HexBytes(" %02X", Worker.MacAddress().data(), MacAddressSize)};
}

std::optional<TSettingsText> ReadSettings(Tarm_SER& Worker, const TProcessEvents& ProcessEvents)
{
    const TReadState State = AwaitRead(Worker, &Tarm_SER::StartSettingsRead, ProcessEvents);
    if (State == rsNotRun)
        return std::nullopt;
    if (State == rsFailed)
        return TSettingsText{false, {DataReadFailed, "", "", ""}};
    const auto Codes = Worker.Settings();
    return TSettingsText{State == rsRead,
                         {std::string(SettingText(UsbBaudList, Codes[0])), std::string(SettingText(ParityList, Codes[1])),
                          std::string(SettingText(MeterBaudList, Codes[2])),
                          std::string(SettingText(ParityList, Codes[3]))}};
}
