#include "PortPath.h"

// Ports from COM10 on can only be opened through the device namespace, so every name goes there; a
// name that is a path already is taken as it stands.
std::string PortDevicePath(const std::string& Name)
{
    if (!Name.empty() && Name.front() == '\\')
        return Name;
    return "\\\\.\\" + Name;
}
