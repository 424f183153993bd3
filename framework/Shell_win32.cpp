#include "Shell.h"

#include <windows.h>
#include <shellapi.h>

namespace {

// The target is UTF-8 text; the wide call takes any character an address may hold.
void ShellExecuteOpen(const std::string& Target)
{
    const int Length = MultiByteToWideChar(CP_UTF8, 0, Target.data(), static_cast<int>(Target.size()), nullptr, 0);
    if (Length <= 0)
        return;
    std::wstring Wide(static_cast<size_t>(Length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, Target.data(), static_cast<int>(Target.size()), Wide.data(), Length);
    ShellExecuteW(nullptr, L"open", Wide.c_str(), nullptr, nullptr, SW_SHOW);
}

} // namespace

std::function<void(const std::string& Target)> ShellOpen = ShellExecuteOpen;
