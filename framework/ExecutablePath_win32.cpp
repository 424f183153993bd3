#include "ExecutablePath.h"

#include <string>

#include <windows.h>

std::filesystem::path ExecutableFolder()
{
    // A name that fills the buffer may have been cut: try again with twice the room. The long-path
    // limit of 32767 characters ends the loop.
    std::wstring Name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD Length = GetModuleFileNameW(nullptr, Name.data(), static_cast<DWORD>(Name.size()));
        if (Length == 0)
            return {};
        if (Length < Name.size()) {
            Name.resize(Length);
            return std::filesystem::path(Name).parent_path();
        }
        if (Name.size() > 32767)
            return {};
        Name.resize(Name.size() * 2);
    }
}
