#include "ExecutablePath.h"

std::filesystem::path ExecutableFolder()
{
    std::error_code Error;
    const std::filesystem::path Program = std::filesystem::read_symlink("/proc/self/exe", Error);
    return Error ? std::filesystem::path() : Program.parent_path();
}
