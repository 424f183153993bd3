#include "PortRunner.h"

#include <cstdio>
#include <functional>
#include <memory>

#include "NumberParse.h"
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

[[noreturn]] void Refuse(const std::string& Argument, const std::string& Text, const char* Fault,
                         const std::string& Forms)
{
    throw TArgumentRefusal(Argument, "\"" + Text + "\" " + Fault + "; accepted: " + Forms);
}

// The word by the program's own number rules (a leading 0 is no octal), handed on in decimal.
CLI::Validator ProtectionRule(const std::string& Argument)
{
    return CLI::Validator(
        [Argument](std::string& Text) {
            const std::optional<int32_t> Word = ParseInt32(Text);
            if (!Word)
                Refuse(Argument, Text, "is not a 32-bit number", ProtectionForms);
            Text = std::to_string(static_cast<uint32_t>(*Word));
            return std::string();
        },
        "WORD");
}

CLI::Validator MacRule(const std::string& Argument)
{
    return CLI::Validator(
        [Argument](std::string& Text) {
            const std::optional<int64_t> Mac = ParseInt64(Text);
            if (!Mac)
                Refuse(Argument, Text, "is not a number of at most 48 bits", MacForms);
            // The window would drop the top bits; a script's typing error must not reach a unit.
            if (!FitsMacAddress(static_cast<uint64_t>(*Mac)))
                Refuse(Argument, Text, "is wider than 48 bits", MacForms);
            Text = std::to_string(static_cast<uint64_t>(*Mac));
            return std::string();
        },
        "MAC");
}

// Each text by its own list, so that the refusal names the one at fault.
TPortSettings SettingsValue(const std::vector<std::string>& Texts)
{
    TPortSettings Settings;
    for (size_t I = 0; I < std::size(SettingArguments); ++I) {
        const TSettingArgument& Argument = SettingArguments[I];
        const std::optional<uint8_t> Code = SettingCode(Argument.List, Texts[I]);
        if (!Code)
            Refuse(std::string("--write ") + Argument.Name, Texts[I], "is not in the list", Joined(Argument.List));
        Settings.*Argument.Field = *Code;
    }
    return Settings;
}

// A read that did not end within its wait shows the fields as they stood, as the window does, and
// fails all the same.
int ShowEnd(const TPortEnd& End)
{
    if (End.Advice.empty())
        std::printf("%s\n", End.Text.c_str());
    else
        std::fprintf(stderr, "sw30415: %s\n", End.Advice.c_str());
    return End.Code;
}

// The four texts on one line, in the order settings --write takes them; a failure text alone.
std::optional<TReadText> SettingsLine(const std::optional<TSettingsText>& Read)
{
    return Read ? std::optional<TReadText>({Read->Ok, Joined(Read->Texts)}) : std::nullopt;
}

// The arguments of the four commands, their values checked as they are parsed.
struct TParamArgs {
    std::string Port;
    uint32_t Word = 0;
    uint64_t Mac = 0;
    TPortSettings Settings;
};

using TReadJob = std::function<std::optional<TReadText>(Tarm_SER& Worker)>;
using TWriteJob = std::function<TWriteCheck(Tarm_SER& Worker)>;

} // namespace

void AddParamCommands(CLI::App& App, int& ExitCode)
{
    // One set of arguments: only one subcommand is parsed.
    const auto Args = std::make_shared<TParamArgs>();
    // Read without --write (write-all has none); with it Write, its value checked by then.
    const auto Add = [&](const char* Name, const char* Description, TReadJob Read, TWriteJob Write) {
        CLI::App* Command = App.add_subcommand(Name, Description);
        AddPortOption(*Command, Args->Port)->required();
        Command->footer(ExitCodeHelp);
        Command->callback([Args, Command, Read, Write, &ExitCode] {
            const bool Writing = !Read || Command->get_option("--write")->count() > 0;
            ExitCode = OnPort(Args->Port, [&](TConnection& Link) {
                return ShowEnd(Writing ? WriteEnd(Write(Link.Worker())) : ReadEnd(Read(Link.Worker())));
            });
        });
        return Command;
    };
    Add("protection", "read the protection word, or write it and read it back",
        [](Tarm_SER& Worker) { return ReadProtection(Worker); },
        [Args](Tarm_SER& Worker) { return WriteProtectionChecked(Worker, Args->Word); })
        ->add_option("--write", Args->Word, std::string("the word to write: ") + ProtectionForms)
        ->transform(ProtectionRule("--write"));
    Add("mac", "read the MAC address, or write it and read it back",
        [](Tarm_SER& Worker) { return ReadMacAddress(Worker); },
        [Args](Tarm_SER& Worker) { return WriteMacAddressChecked(Worker, Args->Mac); })
        ->add_option("--write", Args->Mac, std::string("the address to write: ") + MacForms)
        ->transform(MacRule("--write"));
    Add("settings", "read the device's port settings, or write them and read them back",
        [](Tarm_SER& Worker) { return SettingsLine(ReadSettings(Worker)); },
        [Args](Tarm_SER& Worker) { return WriteSettingsChecked(Worker, Args->Settings); })
        ->add_option_function<std::vector<std::string>>(
            "--write", [Args](const std::vector<std::string>& Texts) { Args->Settings = SettingsValue(Texts); },
            "USB_BAUD USB_PARITY METER_BAUD METER_PARITY as the window's lists show them, e.g. 115200 NONE 9600 EVEN")
        ->expected(static_cast<int>(std::size(SettingArguments)));
    CLI::App* WriteAll = Add("write-all", "write the protection word and the MAC address as one record, read them back",
                             {}, [Args](Tarm_SER& Worker) { return WriteAllChecked(Worker, Args->Word, Args->Mac); });
    WriteAll->add_option("--protection", Args->Word, ProtectionForms)
        ->required()
        ->transform(ProtectionRule("--protection"));
    WriteAll->add_option("--mac", Args->Mac, MacForms)->required()->transform(MacRule("--mac"));
}
