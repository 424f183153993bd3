#include "FirmwareFiles.h"

#include <algorithm>
#include <filesystem>

#include "ExecutablePath.h"
#include "PathText.h"
#include "RunFile.h"

namespace {

constexpr int CompareChunk = 200;

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

bool CompareAndDeleteReadBack(const std::string& ImagePath, const std::string& ReadBackPath)
{
    // Opened as the runs open them, so that a FIFO or a device under either name cannot hold the
    // update in open.
    TRunFile Image;
    Image.OpenForReading(ImagePath);
    return CompareAndDeleteReadBack(Image, ReadBackPath);
}

bool CompareAndDeleteReadBack(const TRunFile& OpenImage, const std::string& ReadBackPath)
{
    bool Equal = true;
    {
        TRunFile Image;
        TRunFile ReadBack;
        Equal = Image.OpenSame(OpenImage) && ReadBack.OpenForReading(ReadBackPath);
        // At least one chunk, as for an empty image; a byte the read-back lacks is a difference.
        int N = CompareChunk;
        while (Equal && N == CompareChunk) {
            char Expected[CompareChunk];
            char Got[CompareChunk];
            N = Image.Read(Expected, CompareChunk);
            Equal = N >= 0 && ReadBack.Read(Got, N) == N && std::equal(Expected, Expected + N, Got);
        }
    }
    std::error_code Ignored;
    std::filesystem::remove(PathFromText(ReadBackPath), Ignored);
    return Equal;
}
