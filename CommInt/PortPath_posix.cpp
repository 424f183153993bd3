#include "PortPath.h"

// A full path is taken as it stands, so a pseudo-terminal or a by-id link can serve as the port.
std::string PortDevicePath(const std::string& Name)
{
    if (!Name.empty() && Name.front() == '/')
        return Name;
    return "/dev/" + Name;
}
