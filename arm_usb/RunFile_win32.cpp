// Run files on Windows. The locks are share modes: a file being written is shared with nobody; an
// image being read is shared with readers only (several devices updated at once from one image),
// so neither a writer that holds it already nor one that comes later gets in.
#include "RunFile.h"
#include "PathText.h"

#include <windows.h>

namespace {

HANDLE Win(intptr_t Handle) { return reinterpret_cast<HANDLE>(Handle); }

// Opens Path as CreateFileW is told; -1 unless it is a regular file on disk. Device names such as
// "COM1" or "NUL" and pipes open too, and are refused here.
intptr_t OpenChecked(const std::string& Path, DWORD Access, DWORD Share, DWORD Disposition, DWORD Flags)
{
    const HANDLE File = CreateFileW(PathFromText(Path).c_str(), Access, Share, nullptr, Disposition,
                                    FILE_ATTRIBUTE_NORMAL | Flags, nullptr);
    if (File == INVALID_HANDLE_VALUE)
        return -1;
    BY_HANDLE_FILE_INFORMATION Info{};
    if (GetFileType(File) != FILE_TYPE_DISK || !GetFileInformationByHandle(File, &Info)
        || (Info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        CloseHandle(File);
        return -1;
    }
    return reinterpret_cast<intptr_t>(File);
}

} // namespace

bool TRunFile::OpenForReading(const std::string& Path)
{
    Close();
    FHandle = OpenChecked(Path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0);
    return IsOpen();
}

bool TRunFile::Create(const std::string& Path)
{
    Close();
    // CREATE_NEW alone would follow a link planted under the name and create its target; with
    // FILE_FLAG_OPEN_REPARSE_POINT the link itself counts as the existing file.
    FHandle = OpenChecked(Path, GENERIC_WRITE, 0, CREATE_NEW, FILE_FLAG_OPEN_REPARSE_POINT);
    return IsOpen();
}

void TRunFile::Close()
{
    if (!IsOpen())
        return;
    CloseHandle(Win(FHandle));
    FHandle = InvalidHandle;
}

int64_t TRunFile::Size() const
{
    LARGE_INTEGER Size{};
    if (!IsOpen() || !GetFileSizeEx(Win(FHandle), &Size))
        return -1;
    return Size.QuadPart;
}

int64_t TRunFile::Position() const
{
    LARGE_INTEGER Zero{}, Position{};
    if (!IsOpen() || !SetFilePointerEx(Win(FHandle), Zero, &Position, FILE_CURRENT))
        return -1;
    return Position.QuadPart;
}

bool TRunFile::Seek(int64_t Position)
{
    LARGE_INTEGER Target{};
    Target.QuadPart = Position;
    return IsOpen() && SetFilePointerEx(Win(FHandle), Target, nullptr, FILE_BEGIN);
}

int TRunFile::ReadSome(void* Buffer, int Count)
{
    DWORD Got = 0;
    return ReadFile(Win(FHandle), Buffer, static_cast<DWORD>(Count), &Got, nullptr) ? static_cast<int>(Got) : -1;
}

int TRunFile::WriteSome(const void* Buffer, int Count)
{
    DWORD Written = 0;
    return WriteFile(Win(FHandle), Buffer, static_cast<DWORD>(Count), &Written, nullptr) ? static_cast<int>(Written)
                                                                                          : -1;
}
