// Run files on POSIX. The locks are advisory flocks: a file being written keeps out every other run
// of this program and any other program that locks; an image being read is shared among readers
// (several devices updated at once from one image) but kept from a writer.
#include "RunFile.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int Fd(intptr_t Handle) { return static_cast<int>(Handle); }

// Opens Path with Flags and locks it with Lock (LOCK_SH or LOCK_EX); -1 when either fails, with
// the system's code in Error.
int OpenLocked(const std::string& Path, int Flags, int Lock, int& Error)
{
    // Non-blocking, so that a FIFO or a device of that name cannot hold the window thread in open;
    // for the regular files that pass the check below it changes nothing.
    const int Descriptor = open(Path.c_str(), Flags | O_CLOEXEC | O_NONBLOCK, 0644);
    if (Descriptor < 0) {
        Error = errno;
        return -1;
    }
    struct stat Info {};
    if (fstat(Descriptor, &Info) != 0 || !S_ISREG(Info.st_mode) || flock(Descriptor, Lock | LOCK_NB) != 0) {
        Error = S_ISREG(Info.st_mode) ? errno : EINVAL;
        close(Descriptor);
        return -1;
    }
    Error = 0;
    return Descriptor;
}

} // namespace

bool TRunFile::OpenForReading(const std::string& Path)
{
    Close();
    FHandle = OpenLocked(Path, O_RDONLY, LOCK_SH, FError);
    return IsOpen();
}

bool TRunFile::Create(const std::string& Path)
{
    Close();
    FHandle = OpenLocked(Path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, LOCK_EX, FError);
    return IsOpen();
}

bool TRunFile::OpenSame(const TRunFile& Open)
{
    Close();
    // The duplicate shares the open file and its lock; the positions are each handle's own.
    FHandle = Open.IsOpen() ? fcntl(Fd(Open.FHandle), F_DUPFD_CLOEXEC, 0) : InvalidHandle;
    FError = IsOpen() ? 0 : Open.IsOpen() ? errno : EBADF;
    return IsOpen();
}

void TRunFile::Close()
{
    if (!IsOpen())
        return;
    close(Fd(FHandle));
    FHandle = InvalidHandle;
    FPosition = 0;
}

int64_t TRunFile::Size() const
{
    struct stat Info {};
    if (!IsOpen() || fstat(Fd(FHandle), &Info) != 0)
        return -1;
    return Info.st_size;
}

int TRunFile::ReadSome(void* Buffer, int Count)
{
    ssize_t Got;
    do
        Got = pread(Fd(FHandle), Buffer, static_cast<size_t>(Count), FPosition);
    while (Got < 0 && errno == EINTR);
    if (Got < 0)
        FError = errno;
    return static_cast<int>(Got);
}

int TRunFile::WriteSome(const void* Buffer, int Count)
{
    ssize_t Written;
    do
        Written = pwrite(Fd(FHandle), Buffer, static_cast<size_t>(Count), FPosition);
    while (Written < 0 && errno == EINTR);
    if (Written < 0)
        FError = errno;
    return static_cast<int>(Written);
}

std::string TRunFile::ErrorText(int Code)
{
    return std::strerror(Code);
}
