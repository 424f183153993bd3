#include "ReadBackClaim.h"

#include <filesystem>
#include <mutex>
#include <set>

#include "PathText.h"

namespace {

std::mutex ClaimLock;
std::set<std::string> Claimed; // under ClaimLock

std::string WithSuffix(const std::string& Name, int Number)
{
    std::filesystem::path Path = PathFromText(Name);
    const std::string Extension = TextFromPath(Path.extension());
    return TextFromPath(Path.replace_extension()) + "-" + std::to_string(Number) + Extension;
}

} // namespace

TReadBackClaim::TReadBackClaim(const std::string& Name)
{
    const std::lock_guard<std::mutex> Hold(ClaimLock);
    FPath = Name;
    for (int Number = 2; !Claimed.insert(FPath).second; ++Number)
        FPath = WithSuffix(Name, Number);
}

TReadBackClaim::~TReadBackClaim()
{
    const std::lock_guard<std::mutex> Hold(ClaimLock);
    Claimed.erase(FPath);
}
