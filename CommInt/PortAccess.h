// What a person can do about a port that could not be opened.
#pragma once

#include <string>

// For a refusal the person can act on (Error is the open's system error code), what to do: on Linux
// a refusal by permissions, answered with the group that owns DevicePath to join; on Windows a port
// that another program holds. Empty for any other failure.
std::string PortAccessAdvice(const std::string& DevicePath, int Error);
