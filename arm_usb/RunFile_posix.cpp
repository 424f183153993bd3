// Run files on POSIX. The locks are advisory flocks: a file being written keeps out every other run
// of this program and any other program that locks; an image being read is shared among readers
// (several devices updated at once from one image) but kept from a writer.
#include "RunFile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int Fd(intptr_t Handle) { return static_cast<int>(Handle); }

// Opens Path with Flags and locks it with Lock (LOCK_SH or LOCK_EX); -1 when either fails.
int OpenLocked(const std::string& Path, int Flags, int Lock)
{
    // Non-blocking, so that a FIFO or a device of that name cannot hold the window thread in open;
    // for the regular files that pass the check below it changes nothing.
    const int Descriptor = open(Path.c_str(), Flags | O_CLOEXEC | O_NONBLOCK, 0644);
    if (Descriptor < 0)
        return -1;
    struct stat Info {};
    if (fstat(Descriptor, &Info) != 0 || !S_ISREG(Info.st_mode) || flock(Descriptor, Lock | LOCK_NB) != 0) {
        close(Descriptor);
        return -1;
    }
    return Descriptor;
}

} // namespace

bool TRunFile::OpenForReading(const std::string& Path)
{
    Close();
    FHandle = OpenLocked(Path, O_RDONLY, LOCK_SH);
    return IsOpen();
}

bool TRunFile::Create(const std::string& Path)
{
    Close();
    FHandle = OpenLocked(Path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, LOCK_EX);
    return IsOpen();
}

void TRunFile::Close()
{
    if (!IsOpen())
        return;
    close(Fd(FHandle));
    FHandle = InvalidHandle;
}

int64_t TRunFile::Size() const
{
    struct stat Info {};
    if (!IsOpen() || fstat(Fd(FHandle), &Info) != 0)
        return -1;
    return Info.st_size;
}

int64_t TRunFile::Position() const
{
    return IsOpen() ? lseek(Fd(FHandle), 0, SEEK_CUR) : -1;
}

bool TRunFile::Seek(int64_t Position)
{
    return IsOpen() && lseek(Fd(FHandle), Position, SEEK_SET) == Position;
}

int TRunFile::ReadSome(void* Buffer, int Count)
{
    ssize_t Got;
    do
        Got = read(Fd(FHandle), Buffer, static_cast<size_t>(Count));
    while (Got < 0 && errno == EINTR);
    return static_cast<int>(Got);
}

int TRunFile::WriteSome(const void* Buffer, int Count)
{
    ssize_t Written;
    do
        Written = write(Fd(FHandle), Buffer, static_cast<size_t>(Count));
    while (Written < 0 && errno == EINTR);
    return static_cast<int>(Written);
}
