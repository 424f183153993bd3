// The device path of a port as the main window names it (COM3 on Windows, ttyUSB0 here).
#pragma once

#include <string>

std::string PortDevicePath(const std::string& Name);
