#include "FirmwareFiles.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "ExecutablePath.h"
#include "PathText.h"

namespace {

constexpr std::streamsize CompareChunk = 200;

} // namespace

std::string MasterImagePath() { return TextFromPath(ExecutableFolder() / "master" / "Sim30415.sim"); }

std::string ReadBackName(const std::string& ImagePath, const TLocalTime& Time)
{
    std::filesystem::path Image = PathFromText(ImagePath);
    std::string Name = TextFromPath(Image.filename());
    if (const auto Dot = Name.rfind('.'); Dot != std::string::npos)
        Name.erase(Dot);
    for (int Part : {Time.Year, Time.Month, Time.Day, Time.Hour, Time.Minute, Time.Second, Time.Millisecond})
        Name += std::to_string(Part);
    // The folder's text stays as it was given, separators and all.
    return TextFromPath(Image.replace_filename(PathFromText(Name + ".b79")));
}

bool CompareFiles(const std::string& ImagePath, const std::string& ReadBackPath)
{
    bool Equal = true;
    {
        std::ifstream Image(PathFromText(ImagePath), std::ios::binary);
        std::ifstream ReadBack(PathFromText(ReadBackPath), std::ios::binary);
        Equal = Image.is_open() && ReadBack.is_open();
        std::error_code Error;
        auto Remaining = static_cast<std::streamsize>(std::filesystem::file_size(PathFromText(ImagePath), Error));
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
    std::filesystem::remove(PathFromText(ReadBackPath), Ignored);
    return Equal;
}
