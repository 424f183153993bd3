// The device path of a port as the main window names it (COM3 on Windows, ttyUSB0 on Linux).
#pragma once

#include <string>

// A name that is a path already (beginning with "/", or with "\" on Windows: a pseudo-terminal, a
// by-id link, \\.\COM3) is taken as it stands; any other name is taken from the system's device
// folder (/dev/) or namespace (\\.\).
std::string PortDevicePath(const std::string& Name);
