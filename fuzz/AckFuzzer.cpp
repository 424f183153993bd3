// The acknowledgement check: "O.K." at the 4th to 7th character, whatever surrounds it.
#include <cstdlib>
#include <string_view>

#include "FrameCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const int Count = static_cast<int>(std::min<size_t>(Size, AckBufferSize));
    const std::string_view Text(reinterpret_cast<const char*>(Data), static_cast<size_t>(Count));
    const bool Expected = Text.size() >= 7 && Text.substr(3, 4) == "O.K.";
    if (IsAcknowledgement(Text.data(), Count) != Expected)
        std::abort();
    return 0;
}
