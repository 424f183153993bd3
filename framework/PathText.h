// File names travel through the program as UTF-8 text. These convert at the edges, where a name
// meets the file system: on Windows a path is UTF-16 and a narrow one would go through the ANSI
// code page; elsewhere the bytes pass unchanged.
#pragma once

#include <filesystem>
#include <string>

inline std::filesystem::path PathFromText(const std::string& Text)
{
    return std::filesystem::path(std::u8string(Text.begin(), Text.end()));
}

inline std::string TextFromPath(const std::filesystem::path& Path)
{
    const std::u8string Text = Path.u8string();
    return std::string(Text.begin(), Text.end());
}
