// sw30415: the firmware update, the read and the verify without a write, the device check and the
// parameter jobs on the command line, for service benches and production lines.
#include <iostream>

#include "PortRunner.h"

int main(int argc, char** argv)
{
    CLI::App App{"Updates the firmware of the SW30415 converter through its boot loader.", "sw30415"};
    App.set_version_flag("--version", SW_VERSION);
    // At most one; none is refused below, so that a mistyped subcommand is named as unexpected.
    App.require_subcommand(0, 1);
    App.footer(ExitCodeHelp);
    App.failure_message([](const CLI::App* Failed, const CLI::Error& Error) {
        return dynamic_cast<const TArgumentRefusal*>(&Error) ? "sw30415: " + std::string(Error.what()) + "\n"
                                                             : CLI::FailureMessage::simple(Failed, Error);
    });
    int ExitCode = ecDone;
    AddFirmwareCommands(App, ExitCode);
    AddParamCommands(App, ExitCode);
    AddPortCommands(App, ExitCode);
    try {
        // The subcommand given runs in its callback.
        App.parse(argc, argv);
    } catch (const CLI::ParseError& Error) {
        // Help and version end here too, with 0; CLI11's message names the argument at fault.
        return App.exit(Error) == 0 ? ecDone : ecBadArguments;
    }
    if (App.get_subcommands().empty()) {
        std::cerr << "A subcommand is required\nRun with --help for the list.\n";
        return ecBadArguments;
    }
    return ExitCode;
}
