// The parameter commands of sw30415: protection, mac, settings and write-all. A read prints what
// the window's label shows; a write is read back and compared. A value is checked before the port
// is opened, so that a refused one sends nothing.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

class TParamCommands {
public:
    // Adds the four subcommands to App; the object keeps their arguments, so it must outlive the parse.
    TParamCommands(CLI::App& App, const std::string& PortHelp);
    TParamCommands(const TParamCommands&) = delete;
    TParamCommands& operator=(const TParamCommands&) = delete;

    // The exit code of the one of them that was given; none when none was.
    std::optional<int> Run() const;

private:
    int RunProtection() const;
    int RunMac() const;
    int RunSettings() const;
    int RunWriteAll() const;

    CLI::App* FProtection;
    CLI::App* FMac;
    CLI::App* FSettings;
    CLI::App* FWriteAll;
    std::string FPort;
    std::string FValue;                    // protection's and mac's --write
    std::vector<std::string> FSettingTexts; // settings --write
    std::string FProtectionValue;           // write-all
    std::string FMacValue;                  // write-all
};
