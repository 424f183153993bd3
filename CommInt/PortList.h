// The serial ports of this machine, by the names the main window shows and PortDevicePath takes.
#pragma once

#include <string>
#include <utility>
#include <vector>

// Only ports that are really there, in natural order (ttyUSB2 before ttyUSB10, COM2 before COM10).
// On Linux, Root is the folder the system's device tree hangs from, and tests point it at a tree of
// their own; Windows probes its port names and has no such tree.
std::vector<std::string> ListSerialPorts(const std::string& Root = "/");

// The ports the kernel writes its console to (ttyS0 on a PC with a serial console), by the same
// names; a probe must not send them anything. Empty where the system has no such list (Windows).
std::vector<std::string> ActiveConsoles(const std::string& Root = "/");

// What the system knows of the adapter behind Port, as named facts in a fixed order: on Linux the
// USB vendor and product ids, serial number and bus path from sysfs (none for a port with no USB
// device behind it, such as a pseudo-terminal); on Windows the port's name.
std::vector<std::pair<std::string, std::string>> AdapterFacts(const std::string& Port, const std::string& Root = "/");
