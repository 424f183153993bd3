// sw30415: the firmware update, the read and the verify without a write, the device check and the
// parameter jobs on the command line, for service benches and production lines.
#include <CLI/CLI.hpp>

#include <iostream>

#include "Commands.h"
#include "ExitCodes.h"
#include "ImageCheck.h"
#include "Interrupt.h"
#include "ParamCommands.h"
#include "ProductionLine.h"
#include "ReadVerifyCommands.h"
#include "UpdateRecord.h"

int main(int argc, char** argv)
{
    CLI::App App{"Updates the firmware of the SW30415 converter through its boot loader.", "sw30415"};
    App.set_version_flag("--version", SW_VERSION);
    // At most one; none is refused below, so that a mistyped subcommand is named as unexpected.
    App.require_subcommand(0, 1);
    App.footer(ExitCodeHelp);
#ifdef _WIN32
    const char* const PortHelp = "the serial port, as the main window names it (COM3)";
#else
    const char* const PortHelp = "the serial port: a device path as it stands, else a name under /dev (ttyUSB0)";
#endif

    std::string Port;
    std::vector<std::string> UpdatePorts;
    bool AllInBootMode = false;
    std::string Image;
    TUpdateFiles Files{.Command = "update"};
    CLI::App* Update = App.add_subcommand("update", "write the image into the device, read it back and compare");
    Update->add_option("--port", UpdatePorts, std::string(PortHelp) + "; repeat it to update several at once (the exit code is then that of the first failing port)");
    Update->add_flag("--all-in-boot-mode", AllInBootMode,
                     "update every port (or every --port) that holds a device in boot mode");
    Update->add_option("--image", Image, "the image file (default: master/Sim30415.sim beside this program)");
    Update->add_option("--record", Files.RecordFile, RecordHelp);
    Update->footer(ExitCodeHelp);
    CLI::App* Check = App.add_subcommand("check", "ask for the boot loader and read the protection word only");
    Check->add_option("--port", Port, PortHelp)->required();
    Check->footer(ExitCodeHelp);
    TPortsRequest PortsRequest;
    CLI::App* Ports = AddPortsCommand(App, PortsRequest);
    const TParamCommands Params(App, PortHelp);
    const TReadVerifyCommands ReadVerify(App, PortHelp);

    try {
        App.parse(argc, argv);
    } catch (const CLI::ParseError& Error) {
        // Help and version end here too, with 0; CLI11's message names the argument at fault.
        return App.exit(Error) == 0 ? ecDone : ecBadArguments;
    }
    if (App.get_subcommands().empty()) {
        std::cerr << "A subcommand is required\nRun with --help for the list.\n";
        return ecBadArguments;
    }
    if (Update->parsed() && UpdatePorts.empty() && !AllInBootMode) {
        std::cerr << "update: --port or --all-in-boot-mode is required\nRun with --help for more information.\n";
        return ecBadArguments;
    }
    // Before the handlers: a parameter job cannot be abandoned midway, so Ctrl-C ends it at once
    // rather than after its waits.
    if (const std::optional<int> Code = Params.Run())
        return *Code;
    if (Update->parsed()) {
        if (const TExitCode Code = CheckImage(Image, Files.Image); Code != ecDone)
            return Code;
        if (const TExitCode Code = CheckRecordFile(Files.RecordFile, {Files.Image.Path}); Code != ecDone)
            return Code;
    }
    InstallInterruptHandlers();
    if (const std::optional<int> Code = ReadVerify.Run())
        return *Code;
    if (Ports->parsed())
        return RunPorts(PortsRequest);
    if (Update->parsed() && UpdatePorts.size() == 1 && !AllInBootMode)
        return RunUpdate(UpdatePorts.front(), Files);
    if (Update->parsed())
        return RunProductionUpdate(UpdatePorts, AllInBootMode, Files);
    return RunCheck(Port);
}
