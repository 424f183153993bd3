// The boot-reply rule: the first line (up to CR or LF) begins with "BOOT VER".
#include <cstdlib>
#include <string_view>

#include "FrameCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const int Count = static_cast<int>(std::min<size_t>(Size, BootReplyBufferSize));
    const std::string_view Text(reinterpret_cast<const char*>(Data), static_cast<size_t>(Count));
    const std::string_view Line = Text.substr(0, Text.find_first_of("\r\n"));
    if (IsBootReply(Text.data(), Count) != Line.starts_with("BOOT VER"))
        std::abort();
    return 0;
}
