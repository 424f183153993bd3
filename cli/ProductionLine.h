// The production-line commands of sw30415: probing ports for devices in boot mode, and updating the
// devices on several ports at once. Each returns the program's exit code.
#pragma once

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "Commands.h"

struct TPortsRequest {
    bool Probe = false;
    std::vector<std::string> Ports;
};

// The subcommand ports, its options filling Request.
CLI::App* AddPortsCommand(CLI::App& App, TPortsRequest& Request);

// Without Probe: the ports of this machine, one name a line; nothing is sent. With Probe: the
// result of the boot query on each of Ports (none given: every listed port).
int RunPorts(const TPortsRequest& Request);

// The ports a command runs on: Ports, or with AllInBootMode those that a probe of Ports (none given:
// of every listed port) finds in boot mode. ecDone, or the exit code when there are none.
int ChoosePorts(const std::vector<std::string>& Ports, bool AllInBootMode, std::vector<std::string>& Chosen);

// Job on every port at once, each with a worker on a thread of its own; then the table of each
// port's last status text and exit code. The exit code is 0 when every port ended in Done, else
// that of the first failing port in the order given. Each port is recorded when Files names a
// record file.
int RunOnPorts(const std::vector<std::string>& Ports, const TPortJob& Job, const TUpdateFiles& Files);

// One update per port, all at once, from one image. AllInBootMode: the ports that a probe of Ports
// (none given: of every listed port) finds in boot mode. The exit code is 0 when every port ends in
// "Update Done", else that of the first failing port in the order given.
// Each port's update is recorded when Files names a record file.
int RunProductionUpdate(const std::vector<std::string>& Ports, bool AllInBootMode, const TUpdateFiles& Files);
