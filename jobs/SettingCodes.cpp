#include "SettingCodes.h"

#include <algorithm>

std::string_view SettingText(TSettingList List, uint8_t Code)
{
    return Code < List.size() ? List[Code] : "Error";
}

std::optional<uint8_t> SettingCode(TSettingList List, std::string_view Text)
{
    const auto Found = std::find(List.begin(), List.end(), Text);
    if (Found == List.end())
        return std::nullopt;
    return static_cast<uint8_t>(Found - List.begin());
}
