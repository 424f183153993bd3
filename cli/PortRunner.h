// Where every command of sw30415 meets its ports: one connection a port, opened in one place; the
// probe of ports for devices in boot mode; and the runner of a firmware job on the ports a person
// named or a probe found (one port is a list of one; it prints as the window's status line does,
// several as the production line's board does).
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Outcomes.h"
#include "UpdateRecord.h"
#include "arm_ser.h"

// A worker on the named port (the worker turns the name into a device path), closed and stopped on
// destruction.
class TConnection {
public:
    explicit TConnection(const std::string& PortName);
    ~TConnection();
    TConnection(const TConnection&) = delete;
    TConnection& operator=(const TConnection&) = delete;

    // Waits until the worker has tried to open the port; none when it is open, else how the port ended.
    std::optional<TPortEnd> AwaitOpen();
    Tarm_SER& Worker() { return *FWorker; }

private:
    std::unique_ptr<Tarm_SER> FWorker;
};

// Opens Port and runs Job on it; a refused open said on stderr, with its exit code.
int OnPort(const std::string& Port, const std::function<int(TConnection& Link)>& Job);

// The --port of every command: one port (Port a string) or several (a vector); More: what the
// command adds to its help.
template <class TPort>
CLI::Option* AddPortOption(CLI::App& Command, TPort& Port, const std::string& More = "")
{
#ifdef _WIN32
    const std::string Help = "the serial port, as the main window names it (COM3)";
#else
    const std::string Help = "the serial port: a device path as it stands, else a name under /dev (ttyUSB0)";
#endif
    return Command.add_option("--port", Port, Help + More);
}

// A value refused as it is parsed, said as sw30415 says its own refusals rather than as CLI11 says
// a mistyped argument.
struct TArgumentRefusal : CLI::ParseError {
    TArgumentRefusal(const std::string& Argument, const std::string& Fault)
        : CLI::ParseError(Argument + ": " + Fault, CLI::ExitCodes::ValidationError)
    {
    }
};

// Which ports hold a device in boot mode: each port is opened by a worker of its own and asked the
// boot query, all at once, so that a bench of devices takes one boot wait, not one per port.
// In the order given. The ports in Consoles are only reported, never opened.
std::vector<TProbeResult> ProbePorts(const std::vector<std::string>& Ports,
                                     const std::vector<std::string>& Consoles = {});

// The ports a person named, all of them; else the listed ones, with the system's consoles skipped.
std::vector<TProbeResult> ProbeNamedOrListed(const std::vector<std::string>& Named);

// The width of a column of port names under the heading "port".
size_t PortColumnWidth(const std::vector<std::string>& Ports);

// The ports of a firmware job: those named, or with AllInBootMode those that a probe of them (none
// named: of every listed port) finds in boot mode.
struct TPortChoice {
    std::vector<std::string> Named;
    bool AllInBootMode = false;

    // Adds --port and --all-in-boot-mode to Command.
    void AddOptions(CLI::App& Command);
    // Neither given is refused as CLI11 refuses a missing argument, with the Command named.
    void Require(const std::string& Command) const;
    bool Single() const { return Named.size() == 1 && !AllInBootMode; }
    // The ports chosen, or the exit code when there are none.
    int Choose(std::vector<std::string>& Ports) const;
};

// What a command does with the job on one port; Port: the port's place in the list.
using TPortJob = std::function<TUpdateOutcome(TFirmwareUpdate& Job, size_t Port)>;

// Job on every port at once, each with a worker on a thread of its own. Single: the one port's
// status texts and progress on stdout; else the board and then the table of each port's last
// status text and exit code. The exit code is that of the first failing port in the order given.
// Each port is recorded when Files names a record file.
int RunOnPorts(const std::vector<std::string>& Ports, bool Single, const TPortJob& Job, const TUpdateFiles& Files);

// Opens Port and runs Job with the status texts and progress on stdout.
int OnConsole(const std::string& Port, const std::function<int(TConnection& Link, TFirmwareUpdate& Job)>& Job);

// The subcommands of sw30415, one family a file. Each adds its subcommands to App with their
// options and a callback that leaves the program's exit code in ExitCode; what a callback keeps
// lives as long as App does.

// update, read, verify and check: the firmware area and the boot loader.
void AddFirmwareCommands(CLI::App& App, int& ExitCode);
// protection, mac, settings and write-all: a read prints what the window's label shows; a write is
// read back and compared.
void AddParamCommands(CLI::App& App, int& ExitCode);
// ports: the ports of this machine, and with --probe what each answers to the boot query.
void AddPortCommands(CLI::App& App, int& ExitCode);
