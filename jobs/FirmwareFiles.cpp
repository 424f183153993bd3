#include "FirmwareFiles.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "ExecutablePath.h"

namespace {

constexpr std::streamsize CompareChunk = 200;

} // namespace

std::string MasterImagePath() { return (ExecutableFolder() / "master" / "Sim30415.sim").string(); }

std::string ReadBackName(const std::string& ImagePath, const TLocalTime& Time)
{
    const std::filesystem::path Image(ImagePath);
    std::string Name = Image.filename().string();
    if (const auto Dot = Name.rfind('.'); Dot != std::string::npos)
        Name.erase(Dot);
    for (int Part : {Time.Year, Time.Month, Time.Day, Time.Hour, Time.Minute, Time.Second, Time.Millisecond})
        Name += std::to_string(Part);
    return (Image.parent_path() / (Name + ".b79")).string();
}

bool CompareFiles(const std::string& ImagePath, const std::string& ReadBackPath)
{
    bool Equal = true;
    {
        std::ifstream Image(ImagePath, std::ios::binary);
        std::ifstream ReadBack(ReadBackPath, std::ios::binary);
        Equal = Image.is_open() && ReadBack.is_open();
        std::error_code Error;
        auto Remaining = static_cast<std::streamsize>(std::filesystem::file_size(ImagePath, Error));
        Equal = Equal && !Error;
        // At least one chunk, as for an empty image; a byte the read-back lacks is a difference.
        do {
            if (!Equal)
                break;
            char Expected[CompareChunk];
            char Got[CompareChunk];
            Image.read(Expected, CompareChunk);
            const std::streamsize N = Image.gcount();
            ReadBack.read(Got, CompareChunk);
            Equal = ReadBack.gcount() >= N && std::equal(Expected, Expected + N, Got);
            Remaining -= CompareChunk;
        } while (Remaining > 0);
    }
    std::error_code Ignored;
    std::filesystem::remove(ReadBackPath, Ignored);
    return Equal;
}
