#include "PortAccess.h"

#include "PortAccessPlatform.h"

TOpenFailure ClassifyOpenFailure(const std::string& DevicePath, int Error)
{
    if (Error == -1)
        return {TOpenRefusal::Other, DevicePath + " is not a serial port"};
    switch (const TOpenRefusal Kind = PortAccessPlatform::RefusalOf(Error)) {
    case TOpenRefusal::Busy:
        return {Kind, DevicePath + " is in use by another program; close that program, then try again"};
    case TOpenRefusal::Permission:
        return {Kind, PortAccessPlatform::PermissionAdvice(DevicePath)};
    case TOpenRefusal::Missing:
        return {Kind, DevicePath + " is not there; check the port's name and that the device is plugged in"};
    case TOpenRefusal::Other:
        break;
    }
    return {TOpenRefusal::Other, DevicePath + ": " + PortAccessPlatform::SystemMessage(Error)};
}
