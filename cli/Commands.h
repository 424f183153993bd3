// The subcommands of sw30415, one family a file. Each adds its subcommands to App with their
// options and a callback that leaves the program's exit code in ExitCode; what a callback keeps
// lives as long as App does.
#pragma once

namespace CLI {
class App;
}

// update, read, verify and check: the firmware area and the boot loader.
void AddFirmwareCommands(CLI::App& App, int& ExitCode);
// protection, mac, settings and write-all: a read prints what the window's label shows; a write is
// read back and compared.
void AddParamCommands(CLI::App& App, int& ExitCode);
// ports: the ports of this machine, and with --probe what each answers to the boot query.
void AddPortCommands(CLI::App& App, int& ExitCode);
