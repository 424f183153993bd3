#include "PortAccess.h"

#include "SerialDefs.h"

// Windows refuses an open with ERROR_ACCESS_DENIED when another program holds the port.
std::string PortAccessAdvice(const std::string& DevicePath, int Error)
{
    if (Error != ERROR_ACCESS_DENIED)
        return {};
    return "access denied: " + DevicePath +
           " is in use by another program; close that program, then connect again";
}
