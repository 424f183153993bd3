#include "RecordFile.h"

#include <windows.h>

#include "PathText.h"

bool AppendToRecordFile(const std::string& File, const std::string& Line, std::string& Reason)
{
    // Append access alone: the system moves to the end and writes in one step for each WriteFile.
    const HANDLE Handle = CreateFileW(PathFromText(File).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (Handle == INVALID_HANDLE_VALUE) {
        Reason = "system error " + std::to_string(GetLastError());
        return false;
    }
    DWORD Written = 0;
    const bool Whole = WriteFile(Handle, Line.data(), static_cast<DWORD>(Line.size()), &Written, nullptr)
                       && Written == Line.size();
    if (!Whole)
        Reason = "system error " + std::to_string(GetLastError());
    CloseHandle(Handle);
    return Whole;
}
