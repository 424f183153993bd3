// Files for tests: patterned images, saved and loaded whole, in a folder of their own.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

using TBytes = std::vector<uint8_t>;

// Bytes that differ from their neighbours and from one block to the next.
inline TBytes Pattern(size_t Size, uint8_t Seed)
{
    TBytes Bytes(Size);
    for (size_t I = 0; I < Size; ++I)
        Bytes[I] = static_cast<uint8_t>(I * 7 + Seed + I / 256);
    return Bytes;
}

inline void SaveFile(const std::filesystem::path& Path, const TBytes& Bytes)
{
    std::ofstream(Path, std::ios::binary)
        .write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
}

inline TBytes LoadFile(const std::filesystem::path& Path)
{
    std::ifstream In(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), {}};
}

// The names in Folder that end with Extension.
inline std::vector<std::string> FilesEndingWith(const std::filesystem::path& Folder, const std::string& Extension)
{
    std::vector<std::string> Names;
    for (const auto& Entry : std::filesystem::directory_iterator(Folder))
        if (Entry.path().filename().string().ends_with(Extension))
            Names.push_back(Entry.path().filename().string());
    return Names;
}

// A fresh folder under the system's temporary folder, removed with everything in it.
class TTempFolder {
public:
    explicit TTempFolder(const std::string& Name)
        : FPath(std::filesystem::temp_directory_path() / (Name + "-" + std::to_string(getpid())))
    {
        std::filesystem::remove_all(FPath);
        std::filesystem::create_directories(FPath);
    }
    ~TTempFolder()
    {
        std::error_code Ignored;
        std::filesystem::remove_all(FPath, Ignored);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::filesystem::path& Path() const { return FPath; }

private:
    std::filesystem::path FPath;
};
