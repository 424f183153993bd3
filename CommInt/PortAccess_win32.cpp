#include "PortAccessPlatform.h"

#include "SerialDefs.h"

namespace PortAccessPlatform {

// Windows refuses an open with "access denied" when another program holds the port.
TOpenRefusal RefusalOf(int Error)
{
    switch (Error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return TOpenRefusal::Busy;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return TOpenRefusal::Missing;
    default: return TOpenRefusal::Other;
    }
}

std::string PermissionAdvice(const std::string& DevicePath) { return "ask for access to " + DevicePath; }

std::string SystemMessage(int Error)
{
    char Text[256] = {};
    const DWORD Length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        static_cast<DWORD>(Error), 0, Text, sizeof Text, nullptr);
    std::string Message(Text, Length);
    // The system's messages end in a full stop and a line break.
    while (!Message.empty() && (Message.back() == '\n' || Message.back() == '\r' || Message.back() == '.'))
        Message.pop_back();
    return Message.empty() ? "error " + std::to_string(Error) : Message;
}

} // namespace PortAccessPlatform
