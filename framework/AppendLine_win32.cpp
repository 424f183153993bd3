// Appending on Windows.
#include "AppendLine.h"

#include <windows.h>

#include "PathText.h"

namespace {

std::string SystemError() { return "system error " + std::to_string(GetLastError()); }

// Writes Line at the end of the locked Handle, whole, or cuts the file back to where it began.
bool WriteWhole(HANDLE Handle, const std::string& Line, std::string& Reason)
{
    LARGE_INTEGER End{};
    if (!GetFileSizeEx(Handle, &End) || !SetFilePointerEx(Handle, End, nullptr, FILE_BEGIN)) {
        Reason = SystemError();
        return false;
    }
    DWORD Written = 0;
    if (WriteFile(Handle, Line.data(), static_cast<DWORD>(Line.size()), &Written, nullptr) && Written == Line.size())
        return true;
    Reason = SystemError();
    SetFilePointerEx(Handle, End, nullptr, FILE_BEGIN);
    SetEndOfFile(Handle);
    return false;
}

} // namespace

bool AppendLine(const std::string& File, const std::string& Line, std::string& Reason)
{
    // The link itself is opened, and refused: whose it is can't be weighed here as on POSIX.
    const HANDLE Handle = CreateFileW(PathFromText(File).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                                      nullptr);
    if (Handle == INVALID_HANDLE_VALUE) {
        Reason = SystemError();
        return false;
    }
    BY_HANDLE_FILE_INFORMATION Info{};
    OVERLAPPED Region{};
    bool Whole = false;
    if (!GetFileInformationByHandle(Handle, &Info) || (Info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        Reason = "it is a symbolic link, which is not followed";
    } else if (!TakeAppendLock([&] {
                   return LockFileEx(Handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                                     &Region) != 0;
               })) {
        Reason = "another program holds the file locked";
    } else {
        // Locked, so that the end a line began at is still the end when a line that did not fit is cut.
        Whole = WriteWhole(Handle, Line, Reason);
        UnlockFileEx(Handle, 0, MAXDWORD, MAXDWORD, &Region);
    }
    CloseHandle(Handle);
    return Whole;
}
