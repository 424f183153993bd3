// Run files on Windows. The locks are share modes: a file being written is shared with nobody; an
// image being read is shared with readers only (several devices updated at once from one image),
// so neither a writer that holds it already nor one that comes later gets in.
#include "RunFile.h"
#include "PathText.h"

#include <windows.h>

namespace {

HANDLE Win(intptr_t Handle) { return reinterpret_cast<HANDLE>(Handle); }

// Opens Path as CreateFileW is told; -1 unless it is a regular file on disk, with the system's
// code in Error. Device names such as "COM1" or "NUL" and pipes open too, and are refused here.
intptr_t OpenChecked(const std::string& Path, DWORD Access, DWORD Share, DWORD Disposition, DWORD Flags, int& Error)
{
    const HANDLE File = CreateFileW(PathFromText(Path).c_str(), Access, Share, nullptr, Disposition,
                                    FILE_ATTRIBUTE_NORMAL | Flags, nullptr);
    if (File == INVALID_HANDLE_VALUE) {
        Error = static_cast<int>(GetLastError());
        return -1;
    }
    BY_HANDLE_FILE_INFORMATION Info{};
    if (GetFileType(File) != FILE_TYPE_DISK || !GetFileInformationByHandle(File, &Info)
        || (Info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        CloseHandle(File);
        Error = ERROR_BAD_FILE_TYPE;
        return -1;
    }
    Error = 0;
    return reinterpret_cast<intptr_t>(File);
}

// Where a transfer of a synchronous handle starts, whatever its file pointer.
OVERLAPPED At(int64_t Position)
{
    OVERLAPPED Where{};
    Where.Offset = static_cast<DWORD>(Position);
    Where.OffsetHigh = static_cast<DWORD>(Position >> 32);
    return Where;
}

} // namespace

bool TRunFile::OpenForReading(const std::string& Path)
{
    Close();
    FHandle = OpenChecked(Path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0, FError);
    return IsOpen();
}

bool TRunFile::Create(const std::string& Path)
{
    Close();
    // CREATE_NEW alone would follow a link planted under the name and create its target; with
    // FILE_FLAG_OPEN_REPARSE_POINT the link itself counts as the existing file.
    FHandle = OpenChecked(Path, GENERIC_WRITE, 0, CREATE_NEW, FILE_FLAG_OPEN_REPARSE_POINT, FError);
    return IsOpen();
}

bool TRunFile::OpenSame(const TRunFile& Open)
{
    Close();
    // The duplicate shares the open file and its share mode; the positions are each handle's own.
    HANDLE Same = INVALID_HANDLE_VALUE;
    if (Open.IsOpen() && DuplicateHandle(GetCurrentProcess(), Win(Open.FHandle), GetCurrentProcess(), &Same, 0, FALSE,
                                         DUPLICATE_SAME_ACCESS))
        FHandle = reinterpret_cast<intptr_t>(Same);
    FError = IsOpen() ? 0 : Open.IsOpen() ? static_cast<int>(GetLastError()) : ERROR_INVALID_HANDLE;
    return IsOpen();
}

void TRunFile::Close()
{
    if (!IsOpen())
        return;
    CloseHandle(Win(FHandle));
    FHandle = InvalidHandle;
    FPosition = 0;
}

int64_t TRunFile::Size() const
{
    LARGE_INTEGER Size{};
    if (!IsOpen() || !GetFileSizeEx(Win(FHandle), &Size))
        return -1;
    return Size.QuadPart;
}

int TRunFile::ReadSome(void* Buffer, int Count)
{
    DWORD Got = 0;
    OVERLAPPED Where = At(FPosition);
    if (ReadFile(Win(FHandle), Buffer, static_cast<DWORD>(Count), &Got, &Where))
        return static_cast<int>(Got);
    // A positioned read at or past the end fails with this code rather than reading nothing.
    FError = static_cast<int>(GetLastError());
    return FError == ERROR_HANDLE_EOF ? 0 : -1;
}

int TRunFile::WriteSome(const void* Buffer, int Count)
{
    DWORD Written = 0;
    OVERLAPPED Where = At(FPosition);
    if (WriteFile(Win(FHandle), Buffer, static_cast<DWORD>(Count), &Written, &Where))
        return static_cast<int>(Written);
    FError = static_cast<int>(GetLastError());
    return -1;
}

std::string TRunFile::ErrorText(int Code)
{
    char Text[256] = {};
    const DWORD Length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        static_cast<DWORD>(Code), 0, Text, sizeof Text, nullptr);
    std::string Reason(Text, Length);
    // The system's texts end with a line break.
    while (!Reason.empty() && (Reason.back() == '\n' || Reason.back() == '\r'))
        Reason.pop_back();
    return Reason.empty() ? "system error " + std::to_string(Code) : Reason;
}
