#include "OutputFile.h"

#include <cstdio>
#include <filesystem>
#include <random>

#include "PathText.h"

std::string TemporaryBeside(const std::string& Path)
{
    // Random rather than fixed, so that what a killed run left behind does not block the next one.
    std::random_device Random;
    char Suffix[16];
    std::snprintf(Suffix, sizeof Suffix, ".%08X.part", static_cast<unsigned>(Random()));
    return Path + Suffix;
}

bool PlaceFile(const std::string& Temporary, const std::string& Path, bool Replace)
{
    namespace fs = std::filesystem;
    const fs::path From = PathFromText(Temporary);
    const fs::path To = PathFromText(Path);
    std::error_code Error;
    if (Replace) {
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
