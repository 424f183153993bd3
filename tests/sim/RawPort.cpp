#include "RawPort.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace {

int msLeft(TTestClock::time_point Until)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(Until - TTestClock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

TRawPort::TRawPort(const std::string& Path)
{
    FFd = open(Path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (FFd < 0)
        throw std::runtime_error("cannot open " + Path);
    termios mode{};
    tcgetattr(FFd, &mode);
    cfmakeraw(&mode);
    tcsetattr(FFd, TCSANOW, &mode);
}

TRawPort::~TRawPort() { close(FFd); }

void TRawPort::Write(std::string_view Text)
{
    const auto until = TTestClock::now() + ReplyTimeout;
    while (!Text.empty()) {
        const ssize_t count = write(FFd, Text.data(), Text.size());
        if (count > 0) {
            Text.remove_prefix(static_cast<size_t>(count));
            continue;
        }
        pollfd fd{FFd, POLLOUT, 0};
        if ((count < 0 && errno != EAGAIN) || poll(&fd, 1, msLeft(until)) <= 0)
            throw std::runtime_error("write to the simulator failed");
    }
}

std::string TRawPort::Read(size_t Count, std::chrono::milliseconds Timeout)
{
    const auto until = TTestClock::now() + Timeout;
    std::string text;
    char buffer[1024];
    while (text.size() < Count) {
        pollfd fd{FFd, POLLIN, 0};
        if (poll(&fd, 1, msLeft(until)) <= 0 || !(fd.revents & POLLIN))
            break;
        const ssize_t count = read(FFd, buffer, sizeof buffer);
        if (count <= 0)
            break;
        text.append(buffer, static_cast<size_t>(count));
    }
    return text;
}

std::string TRawPort::Exchange(std::string_view Frame, size_t ReplyLength)
{
    Write(Frame);
    return Read(ReplyLength);
}

bool TRawPort::WaitForHangUp(std::chrono::milliseconds Timeout)
{
    pollfd fd{FFd, 0, 0};
    return poll(&fd, 1, static_cast<int>(Timeout.count())) > 0 && (fd.revents & POLLHUP);
}

std::string FullBlockFrame(uint32_t Address, uint8_t Fill)
{
    std::string frame = "00" + HexText(Address, 6) + "020080";
    for (int i = 0; i < 128; ++i)
        frame += HexText(Fill, 2);
    return frame + "00\r";
}

std::string ReadFrame(uint32_t Address) { return "00" + HexText(Address, 6) + "030080\r"; }
