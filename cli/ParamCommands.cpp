#include "Commands.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <functional>
#include <memory>

#include "Outcomes.h"
#include "NumberParse.h"
#include "ParamJobs.h"
#include "ParamVerify.h"
#include "PortRunner.h"
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

// The arguments of the four commands; Write: --write was given.
struct TParamArgs {
    std::string Port;
    bool Write = false;
    std::string Value;                      // protection's and mac's --write
    std::vector<std::string> SettingTexts;  // settings --write
    std::string ProtectionValue;            // write-all
    std::string MacValue;                   // write-all
};

int OnDevice(const std::string& Port, const std::function<int(Tarm_SER& Worker)>& Job)
{
    return OnPort(Port, [&](TConnection& Link) { return Job(Link.Worker()); });
}

// Read without --write; with it, the value (none when refused, before the port opens) written and
// read back.
template <class TValue>
int ReadOrWrite(const TParamArgs& Args, const std::function<int(Tarm_SER& Worker)>& Read,
                const std::function<std::optional<TValue>()>& Value,
                const std::function<TWriteCheck(Tarm_SER& Worker, const TValue& Value)>& Write)
{
    if (!Args.Write)
        return OnDevice(Args.Port, Read);
    const std::optional<TValue> Checked = Value();
    if (!Checked)
        return ecBadArguments;
    return OnDevice(Args.Port, [&](Tarm_SER& Worker) { return ShowWrite(Write(Worker, *Checked)); });
}

int RunProtection(const TParamArgs& Args)
{
    return ReadOrWrite<uint32_t>(
        Args, [](Tarm_SER& Worker) { return ShowRead(ReadProtection(Worker)); },
        [&] { return ProtectionValue("--write", Args.Value); }, WriteProtectionChecked);
}

int RunMac(const TParamArgs& Args)
{
    return ReadOrWrite<uint64_t>(
        Args, [](Tarm_SER& Worker) { return ShowRead(ReadMacAddress(Worker)); },
        [&] { return MacValue("--write", Args.Value); }, WriteMacAddressChecked);
}

int RunSettings(const TParamArgs& Args)
{
    return ReadOrWrite<TPortSettings>(
        Args, [](Tarm_SER& Worker) { return ShowRead(ReadSettings(Worker)); },
        [&] { return SettingsValue(Args.SettingTexts); }, WriteSettingsChecked);
}

int RunWriteAll(const TParamArgs& Args)
{
    const std::optional<uint32_t> Word = ProtectionValue("--protection", Args.ProtectionValue);
    if (!Word)
        return ecBadArguments;
    const std::optional<uint64_t> Mac = MacValue("--mac", Args.MacValue);
    if (!Mac)
        return ecBadArguments;
    return OnDevice(Args.Port, [&](Tarm_SER& Worker) { return ShowWrite(WriteAllChecked(Worker, *Word, *Mac)); });
}

} // namespace

void AddParamCommands(CLI::App& App, int& ExitCode)
{
    // One set of arguments: only one subcommand is parsed.
    const auto Args = std::make_shared<TParamArgs>();
    const auto Add = [&](const char* Name, const char* Description, int (*Run)(const TParamArgs& Args)) {
        CLI::App* Command = App.add_subcommand(Name, Description);
        AddPortOption(*Command, Args->Port);
        Command->footer(ExitCodeHelp);
        Command->callback([Args, Command, Run, &ExitCode] {
            const CLI::Option* Write = Command->get_option_no_throw("--write");
            Args->Write = Write && Write->count() > 0;
            ExitCode = Run(*Args);
        });
        return Command;
    };
    Add("protection", "read the protection word, or write it and read it back", RunProtection)
        ->add_option("--write", Args->Value, std::string("the word to write: ") + ProtectionForms);
    Add("mac", "read the MAC address, or write it and read it back", RunMac)
        ->add_option("--write", Args->Value, std::string("the address to write: ") + MacForms);
    Add("settings", "read the device's port settings, or write them and read them back", RunSettings)
        ->add_option("--write", Args->SettingTexts, "USB_BAUD USB_PARITY METER_BAUD METER_PARITY as the window's "
                                                    "lists show them, e.g. 115200 NONE 9600 EVEN")
        ->expected(static_cast<int>(std::size(SettingArguments)));
    CLI::App* WriteAll = Add("write-all", "write the protection word and the MAC address as one record, read them back",
                             RunWriteAll);
    WriteAll->add_option("--protection", Args->ProtectionValue, ProtectionForms)->required();
    WriteAll->add_option("--mac", Args->MacValue, MacForms)->required();
}
