#include "OutputFile.h"

#include <cstdio>
#include <filesystem>
#include <random>

#include "PathText.h"
#include "RunFile.h"

namespace {

namespace fs = std::filesystem;

bool Replaceable(const fs::file_status& There)
{
    return !fs::exists(There) || fs::is_regular_file(There) || fs::is_symlink(There);
}

} // namespace

std::string TemporaryBeside(const std::string& Path)
{
    // Random rather than fixed, so that what a killed run left behind does not block the next one.
    std::random_device Random;
    char Suffix[16];
    std::snprintf(Suffix, sizeof Suffix, ".%08X.part", static_cast<unsigned>(Random()));
    return Path + Suffix;
}

bool Replaceable(const std::string& Path)
{
    std::error_code Ignored;
    return Replaceable(fs::symlink_status(PathFromText(Path), Ignored));
}

std::string CannotCreate(const std::string& Path)
{
    TRunFile Probe;
    if (!Probe.Create(Path))
        return TRunFile::ErrorText(Probe.Error());
    Probe.Close();
    std::error_code Ignored;
    fs::remove(PathFromText(Path), Ignored);
    return {};
}

bool PlaceFile(const std::string& Temporary, const std::string& Path, bool Replace)
{
    const fs::path From = PathFromText(Temporary);
    const fs::path To = PathFromText(Path);
    std::error_code Error;
    if (Replace) {
        // Looked at again here: what was checked before the run may have been swapped meanwhile.
        std::error_code Missing;
        const fs::file_status There = fs::symlink_status(To, Missing);
        if (!Replaceable(There))
            return false;
        // A backup kept private stays private.
        if (fs::is_regular_file(There))
            fs::permissions(From, There.permissions(), Error);
        if (!Error)
            fs::rename(From, To, Error);
        return !Error;
    }
    // A hard link is created only where no name is: a file that appeared meanwhile is kept.
    fs::create_hard_link(From, To, Error);
    if (!Error) {
        fs::remove(From, Error);
        return true;
    }
    if (Error == std::errc::file_exists)
        return false;
    // File systems without hard links (FAT on a memory stick): look, then rename.
    if (fs::exists(fs::symlink_status(To, Error)))
        return false;
    fs::rename(From, To, Error);
    return !Error;
}
