// Why a port could not be opened, told once from the open's system error code, so that the window,
// the command line and the probe all say the same thing and what the person can do about it.
#pragma once

#include <string>

enum class TOpenRefusal {
    Busy,       // another program holds the port
    Permission, // the person may not open the device
    Missing,    // no device of that name
    Other       // anything else; the advice carries the system's message
};

struct TOpenFailure {
    TOpenRefusal Kind = TOpenRefusal::Other;
    std::string Advice;
};

// DevicePath is the path the open used; Error the code the worker stored (-1: the device opened but
// is no serial port).
TOpenFailure ClassifyOpenFailure(const std::string& DevicePath, int Error);
