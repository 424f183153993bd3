// The device path of a port as the main window names it (COM3 on Windows, ttyUSB0 here).
#pragma once

#include <string>

// A name that begins with "/" is a path already (a pseudo-terminal, a by-id link); any other name is
// taken from the system's device folder.
std::string PortDevicePath(const std::string& Name);
