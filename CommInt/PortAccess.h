// What a person can do about a port that could not be opened.
#pragma once

#include <string>

// For a refusal by the system's permissions (Error is the open's system error code), the advice to
// join the group that owns DevicePath; empty for any other failure.
std::string PortAccessAdvice(const std::string& DevicePath, int Error);
