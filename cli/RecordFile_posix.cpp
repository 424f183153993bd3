#include "RecordFile.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

bool AppendToRecordFile(const std::string& File, const std::string& Line, std::string& Reason)
{
    // Non-blocking, so that a FIFO under the name cannot hold the run; O_APPEND makes the seek to the
    // end and the write one step, which other appenders cannot split.
    const int Descriptor = open(File.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
    if (Descriptor < 0) {
        Reason = std::strerror(errno);
        return false;
    }
    ssize_t Written;
    do
        Written = write(Descriptor, Line.data(), Line.size());
    while (Written < 0 && errno == EINTR);
    if (Written != static_cast<ssize_t>(Line.size()))
        Reason = Written < 0 ? std::strerror(errno) : "the line was cut short";
    close(Descriptor);
    return Written == static_cast<ssize_t>(Line.size());
}
