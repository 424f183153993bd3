#include "PortAccess.h"

#include <cerrno>

#include <grp.h>
#include <sys/stat.h>

std::string PortAccessAdvice(const std::string& DevicePath, int Error)
{
    if (Error != EACCES && Error != EPERM)
        return {};
    struct stat Info{};
    const group* Owner = stat(DevicePath.c_str(), &Info) == 0 ? getgrgid(Info.st_gid) : nullptr;
    if (!Owner)
        return "permission denied: ask for read and write access to " + DevicePath;
    return "permission denied: add yourself to the group " + std::string(Owner->gr_name) + " that owns " +
           DevicePath + ", then log in again";
}
