#include "ParamCommands.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <functional>

#include "Connection.h"
#include "ExitCodes.h"
#include "NumberParse.h"
#include "ParamJobs.h"
#include "ParamVerify.h"
#include "SettingCodes.h"

namespace {

constexpr const char* ProtectionForms =
    "a 32-bit word, decimal (-2147483648 to 2147483647) or hexadecimal (up to FFFFFFFF) behind $, x, X, 0x "
    "or 0X, e.g. 78 or 0x0000004E; leading blanks and a sign allowed, nothing after the digits";
constexpr const char* MacForms =
    "at most 48 bits, decimal (up to 281474976710655) or hexadecimal (up to FFFFFFFFFFFF) behind $, x, X, 0x "
    "or 0X, e.g. 0x00112233AABB; leading blanks and a sign allowed, nothing after the digits";

struct TSettingArgument {
    const char* Name;
    TSettingList List;
    uint8_t TPortSettings::*Field;
};

// In the order of the device's record and of settings --write.
constexpr TSettingArgument SettingArguments[] = {
    {"USB_BAUD", UsbBaudList, &TPortSettings::UsbBaud},
    {"USB_PARITY", ParityList, &TPortSettings::UsbParity},
    {"METER_BAUD", MeterBaudList, &TPortSettings::MeterBaud},
    {"METER_PARITY", ParityList, &TPortSettings::MeterParity},
};

// The non-empty texts, separated by blanks.
template <class TTexts>
std::string Joined(const TTexts& Texts)
{
    std::string Line;
    for (std::string_view Text : Texts)
        if (!Text.empty())
            Line += (Line.empty() ? "" : " ") + std::string(Text);
    return Line;
}

void Refuse(const std::string& Argument, const std::string& Text, const char* Fault, const std::string& Forms)
{
    std::fprintf(stderr, "sw30415: %s: \"%s\" %s; accepted: %s\n", Argument.c_str(), Text.c_str(), Fault,
                 Forms.c_str());
}

std::optional<uint32_t> ProtectionValue(const char* Argument, const std::string& Text)
{
    const std::optional<int32_t> Word = ParseInt32(Text);
    if (!Word) {
        Refuse(Argument, Text, "is not a 32-bit number", ProtectionForms);
        return std::nullopt;
    }
    return static_cast<uint32_t>(*Word);
}

std::optional<uint64_t> MacValue(const char* Argument, const std::string& Text)
{
    const std::optional<int64_t> Mac = ParseInt64(Text);
    if (!Mac) {
        Refuse(Argument, Text, "is not a number of at most 48 bits", MacForms);
        return std::nullopt;
    }
    // The window would drop the top bits; a script's typing error must not reach a unit.
    if (!FitsMacAddress(static_cast<uint64_t>(*Mac))) {
        Refuse(Argument, Text, "is wider than 48 bits", MacForms);
        return std::nullopt;
    }
    return static_cast<uint64_t>(*Mac);
}

std::optional<TPortSettings> SettingsValue(const std::vector<std::string>& Texts)
{
    TPortSettings Settings;
    for (size_t I = 0; I < std::size(SettingArguments); ++I) {
        const TSettingArgument& Argument = SettingArguments[I];
        const std::optional<uint8_t> Code = SettingCode(Argument.List, Texts[I]);
        if (!Code) {
            Refuse(std::string("--write ") + Argument.Name, Texts[I], "is not in the list", Joined(Argument.List));
            return std::nullopt;
        }
        Settings.*Argument.Field = *Code;
    }
    return Settings;
}

int OnDevice(const std::string& Port, const std::function<int(Tarm_SER&)>& Job)
{
    TConnection Link(Port);
    if (const TExitCode Code = OpenPort(Link, Port); Code != ecDone)
        return Code;
    return Job(Link.Worker());
}

// A read that did not end within its wait shows the fields as they stood, as the window does, and
// fails all the same.
int ShowRead(bool Ok, const std::string& Text)
{
    std::printf("%s\n", Text.c_str());
    return Ok ? ecDone : ecReadFailed;
}

// The port was open, so no result means that the link closed before the read.
int LinkClosed()
{
    std::fprintf(stderr, "sw30415: the link closed before the read\n");
    return ecReadFailed;
}

int ShowRead(const std::optional<TReadText>& Read)
{
    return Read ? ShowRead(Read->Ok, Read->Text) : LinkClosed();
}

// The four texts on one line, in the order settings --write takes them; a failure text alone.
int ShowRead(const std::optional<TSettingsText>& Read)
{
    return Read ? ShowRead(Read->Ok, Joined(Read->Texts)) : LinkClosed();
}

int ShowWrite(TWriteCheck Check)
{
    if (Check == wcWritten) {
        std::printf("%s\n", WriteCheckText(Check));
        return ecDone;
    }
    std::fprintf(stderr, "sw30415: %s\n", WriteCheckText(Check));
    return ecNotWritten;
}

CLI::App* AddCommand(CLI::App& App, const char* Name, const char* Description, std::string& Port,
                     const std::string& PortHelp)
{
    CLI::App* Command = App.add_subcommand(Name, Description);
    Command->add_option("--port", Port, PortHelp)->required();
    Command->footer(ExitCodeHelp);
    return Command;
}

} // namespace

TParamCommands::TParamCommands(CLI::App& App, const std::string& PortHelp)
    : FProtection(AddCommand(App, "protection", "read the protection word, or write it and read it back", FPort,
                             PortHelp)),
      FMac(AddCommand(App, "mac", "read the MAC address, or write it and read it back", FPort, PortHelp)),
      FSettings(AddCommand(App, "settings", "read the device's port settings, or write them and read them back",
                           FPort, PortHelp)),
      FWriteAll(AddCommand(App, "write-all",
                           "write the protection word and the MAC address as one record, read them back", FPort,
                           PortHelp))
{
    FProtection->add_option("--write", FValue, std::string("the word to write: ") + ProtectionForms);
    FMac->add_option("--write", FValue, std::string("the address to write: ") + MacForms);
    FSettings->add_option("--write", FSettingTexts, "USB_BAUD USB_PARITY METER_BAUD METER_PARITY as the window's "
                                                    "lists show them, e.g. 115200 NONE 9600 EVEN")
        ->expected(static_cast<int>(std::size(SettingArguments)));
    FWriteAll->add_option("--protection", FProtectionValue, ProtectionForms)->required();
    FWriteAll->add_option("--mac", FMacValue, MacForms)->required();
}

std::optional<int> TParamCommands::Run() const
{
    if (FProtection->parsed())
        return RunProtection();
    if (FMac->parsed())
        return RunMac();
    if (FSettings->parsed())
        return RunSettings();
    if (FWriteAll->parsed())
        return RunWriteAll();
    return std::nullopt;
}

int TParamCommands::RunProtection() const
{
    if (FProtection->count("--write") == 0)
        return OnDevice(FPort, [](Tarm_SER& Worker) { return ShowRead(ReadProtection(Worker)); });
    const std::optional<uint32_t> Word = ProtectionValue("--write", FValue);
    if (!Word)
        return ecBadArguments;
    return OnDevice(FPort, [&](Tarm_SER& Worker) { return ShowWrite(WriteProtectionChecked(Worker, *Word)); });
}

int TParamCommands::RunMac() const
{
    if (FMac->count("--write") == 0)
        return OnDevice(FPort, [](Tarm_SER& Worker) { return ShowRead(ReadMacAddress(Worker)); });
    const std::optional<uint64_t> Mac = MacValue("--write", FValue);
    if (!Mac)
        return ecBadArguments;
    return OnDevice(FPort, [&](Tarm_SER& Worker) { return ShowWrite(WriteMacAddressChecked(Worker, *Mac)); });
}

int TParamCommands::RunSettings() const
{
    if (FSettings->count("--write") == 0)
        return OnDevice(FPort, [](Tarm_SER& Worker) { return ShowRead(ReadSettings(Worker)); });
    const std::optional<TPortSettings> Settings = SettingsValue(FSettingTexts);
    if (!Settings)
        return ecBadArguments;
    return OnDevice(FPort, [&](Tarm_SER& Worker) { return ShowWrite(WriteSettingsChecked(Worker, *Settings)); });
}

int TParamCommands::RunWriteAll() const
{
    const std::optional<uint32_t> Word = ProtectionValue("--protection", FProtectionValue);
    if (!Word)
        return ecBadArguments;
    const std::optional<uint64_t> Mac = MacValue("--mac", FMacValue);
    if (!Mac)
        return ecBadArguments;
    return OnDevice(FPort, [&](Tarm_SER& Worker) { return ShowWrite(WriteAllChecked(Worker, *Word, *Mac)); });
}
