// Appending on POSIX systems.
#include "AppendLine.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Link: what lstat found under File.
bool MayFollow(const std::string& File, const struct stat& Link)
{
    if (Link.st_uid == geteuid())
        return true;
    const std::filesystem::path Folder = std::filesystem::path(File).parent_path();
    struct stat Info {};
    return stat(Folder.empty() ? "." : Folder.c_str(), &Info) == 0 && Info.st_uid == Link.st_uid;
}

// Writes Line at the end of the locked Descriptor, whole, or cuts the file back to where it began.
bool WriteWhole(int Descriptor, const std::string& Line, std::string& Reason)
{
    struct stat Info {};
    if (fstat(Descriptor, &Info) != 0) {
        Reason = std::strerror(errno);
        return false;
    }
    size_t Done = 0;
    while (Done < Line.size()) {
        const ssize_t Written = write(Descriptor, Line.data() + Done, Line.size() - Done);
        if (Written < 0 && errno == EINTR)
            continue;
        if (Written <= 0) {
            Reason = Written < 0 ? std::strerror(errno) : "the line was cut short";
            if (Done > 0 && S_ISREG(Info.st_mode))
                (void)!ftruncate(Descriptor, Info.st_size);
            return false;
        }
        Done += static_cast<size_t>(Written);
    }
    return true;
}

} // namespace

bool AppendLine(const std::string& File, const std::string& Line, std::string& Reason)
{
    // Non-blocking, so that a FIFO under the name cannot hold the run; O_APPEND makes the seek to the
    // end and the write one step, which other appenders cannot split.
    int Flags = O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK;
    struct stat Link {};
    if (lstat(File.c_str(), &Link) == 0 && S_ISLNK(Link.st_mode)) {
        if (!MayFollow(File, Link)) {
            Reason = "it is a symbolic link of another user's, which is not followed";
            return false;
        }
    } else {
        // A link put there after the look above is not followed either.
        Flags |= O_NOFOLLOW;
    }
    const int Descriptor = open(File.c_str(), Flags, 0644);
    if (Descriptor < 0) {
        Reason = std::strerror(errno);
        return false;
    }
    // Locked, so that the end a line began at is still the end when a line that did not fit is cut.
    const bool Locked = TakeAppendLock([Descriptor] { return flock(Descriptor, LOCK_EX | LOCK_NB) == 0; });
    if (!Locked)
        Reason = "another program holds the file locked";
    const bool Whole = Locked && WriteWhole(Descriptor, Line, Reason);
    close(Descriptor);
    return Whole;
}
