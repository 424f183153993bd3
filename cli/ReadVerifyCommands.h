// The commands read and verify of sw30415: the device's firmware area into a file, and the device
// compared with an image, neither with a write run. Both take the ports as update takes them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "MemoryMap.h"

namespace CLI {
class App;
}

class TReadVerifyCommands {
public:
    // Adds the two subcommands to App; the object keeps their arguments, so it must outlive the parse.
    TReadVerifyCommands(CLI::App& App, const std::string& PortHelp);
    TReadVerifyCommands(const TReadVerifyCommands&) = delete;
    TReadVerifyCommands& operator=(const TReadVerifyCommands&) = delete;

    // The exit code of the one of them that was given; none when none was.
    std::optional<int> Run() const;

private:
    int RunRead() const;
    int RunVerify() const;

    CLI::App* FRead;
    CLI::App* FVerify;
    std::vector<std::string> FPorts;
    bool FAllInBootMode = false;
    std::string FOut;
    uint32_t FSize = FirmwareAreaSize;
    bool FForce = false;
    std::string FImage;
    std::string FRecord;
};
