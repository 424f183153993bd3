#include "PortAccessPlatform.h"

#include <cerrno>
#include <cstring>

#include <grp.h>
#include <sys/stat.h>

namespace PortAccessPlatform {

// The serial component turns a port locked by another process into EBUSY.
TOpenRefusal RefusalOf(int Error)
{
    switch (Error) {
    case EBUSY: return TOpenRefusal::Busy;
    case EACCES:
    case EPERM: return TOpenRefusal::Permission;
    case ENOENT:
    case ENODEV:
    case ENXIO: return TOpenRefusal::Missing;
    default: return TOpenRefusal::Other;
    }
}

// Serial devices belong to a group (dialout, uucp) whose members may open them.
std::string PermissionAdvice(const std::string& DevicePath)
{
    struct stat Info{};
    const group* Owner = stat(DevicePath.c_str(), &Info) == 0 ? getgrgid(Info.st_gid) : nullptr;
    if (!Owner)
        return "permission denied: ask for read and write access to " + DevicePath;
    return "permission denied: add yourself to the group " + std::string(Owner->gr_name) + " that owns " +
           DevicePath + ", then log in again";
}

std::string SystemMessage(int Error) { return std::strerror(Error); }

} // namespace PortAccessPlatform
