#include "SimTerminal.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace {

// How long a write may find the line full before the reply is given up.
constexpr std::chrono::seconds SendStall{2};

[[noreturn]] void raiseSystemError(const char* What)
{
    throw std::system_error(errno, std::generic_category(), What);
}

void closeFd(int& Fd)
{
    if (Fd >= 0)
        close(Fd);
    Fd = -1;
}

void setFlags(int Fd, int Flags)
{
    if (fcntl(Fd, F_SETFL, fcntl(Fd, F_GETFL) | Flags) != 0 || fcntl(Fd, F_SETFD, FD_CLOEXEC) != 0)
        raiseSystemError("fcntl");
}

// The time left until Until, for ppoll: to the nanosecond, because a line's characters come every
// 87 us at 115200 baud and a wait rounded up to whole milliseconds would slow the line down.
timespec pollTimeout(TSimTerminal::TClock::time_point Until)
{
    const auto left = std::clamp<TSimTerminal::TClock::duration>(Until - TSimTerminal::TClock::now(), {},
                                                                     std::chrono::seconds(60));
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    return {static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

} // namespace

TSimTerminal::TSimTerminal(std::chrono::milliseconds AdapterLatency, const std::string& DevicePath)
    : FAdapter(AdapterLatency)
{
    // Not blocking in the open either: a device's open may wait for a carrier that never comes.
    FMaster = DevicePath.empty() ? posix_openpt(O_RDWR | O_NOCTTY)
                                 : open(DevicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (FMaster < 0)
        raiseSystemError(DevicePath.empty() ? "posix_openpt" : DevicePath.c_str());
    // Raw before anything else: the line discipline would otherwise echo and translate what
    // passes, before the PC has had a chance to set its own mode.
    termios mode{};
    if (tcgetattr(FMaster, &mode) != 0)
        raiseSystemError("tcgetattr");
    cfmakeraw(&mode);
    // On a device: the device's speed where the driver has one, and no modem lines to wait for.
    mode.c_cflag |= CLOCAL | CREAD;
    cfsetspeed(&mode, B115200);
    if (tcsetattr(FMaster, TCSANOW, &mode) != 0)
        raiseSystemError("tcsetattr");
    setFlags(FMaster, O_NONBLOCK);
    if (pipe(FStopPipe) != 0)
        raiseSystemError("pipe");
    setFlags(FStopPipe[0], O_NONBLOCK);
    setFlags(FStopPipe[1], O_NONBLOCK);
    if (!DevicePath.empty()) {
        FPath = DevicePath;
        return;
    }
    if (grantpt(FMaster) != 0 || unlockpt(FMaster) != 0)
        raiseSystemError("grantpt/unlockpt");
    char name[128];
    if (ptsname_r(FMaster, name, sizeof name) != 0)
        raiseSystemError("ptsname_r");
    FPath = name;
    FSlave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (FSlave < 0)
        raiseSystemError("open slave");
}

TSimTerminal::~TSimTerminal()
{
    HangUp();
    closeFd(FStopPipe[0]);
    closeFd(FStopPipe[1]);
}

TSimTerminal::TWaitResult TSimTerminal::WaitFor(short Events, TClock::time_point Until)
{
    if (Events && FMaster < 0)
        return TWaitResult::wrClosed;
    for (;;) {
        pollfd fds[2] = {{FStopPipe[0], POLLIN, 0}, {FMaster, Events, 0}};
        const timespec timeout = pollTimeout(Until);
        const int count = ppoll(fds, Events ? 2 : 1, &timeout, nullptr);
        if (count < 0 && errno == EINTR)
            continue; // a signal that asks for a stop has written to the pipe already
        if (count < 0)
            return TWaitResult::wrClosed;
        if (fds[0].revents)
            return TWaitResult::wrStopped;
        if (Events && (fds[1].revents & Events))
            return TWaitResult::wrReady;
        // Hang-up or error without data: the line is gone, and polling on would only spin.
        if (Events && fds[1].revents)
            return TWaitResult::wrClosed;
        if (count == 0)
            return TWaitResult::wrTimeout;
    }
}

TSimTerminal::TWaitResult TSimTerminal::WaitPassingOn(short Events, TClock::time_point Until)
{
    for (;;) {
        const auto Deadline = FAdapter.Deadline();
        const TWaitResult Result = WaitFor(Events, Deadline ? std::min(Until, *Deadline) : Until);
        if (Result != TWaitResult::wrTimeout)
            return Result;
        const auto Now = TClock::now();
        if (!PassOn(Now))
            return TWaitResult::wrClosed;
        if (Now >= Until)
            return Result;
    }
}

TSimTerminal::TWaitResult TSimTerminal::WaitForInput(TClock::time_point Until)
{
    return WaitPassingOn(POLLIN, Until);
}

bool TSimTerminal::Pause(TClock::time_point Until)
{
    return WaitPassingOn(0, Until) == TWaitResult::wrTimeout;
}

ssize_t TSimTerminal::Read(char* Buffer, size_t Size)
{
    if (FMaster < 0)
        return -1;
    const ssize_t count = read(FMaster, Buffer, Size);
    if (count < 0 && (errno == EAGAIN || errno == EINTR))
        return 0;
    return count > 0 ? count : -1;
}

bool TSimTerminal::WriteSome(std::string_view Text, size_t& Sent)
{
    const ssize_t count = write(FMaster, Text.data() + Sent, Text.size() - Sent);
    if (count > 0) {
        Sent += static_cast<size_t>(count);
        return true;
    }
    if (count < 0 && (errno == EAGAIN || errno == EINTR))
        return WaitFor(POLLOUT, TClock::now() + SendStall) == TWaitResult::wrReady;
    return false;
}

bool TSimTerminal::PassOn(TClock::time_point Now)
{
    std::string Text;
    for (const TAdapterPacket& Packet : FAdapter.Release(Now))
        Text += Packet.Text;
    size_t Sent = 0;
    while (Sent < Text.size())
        if (!WriteSome(Text, Sent))
            return false;
    return true;
}

bool TSimTerminal::Send(std::string_view Text, unsigned Baud, size_t HandOn)
{
    if (FMaster < 0)
        return false;
    const auto Start = TClock::now();
    if (Baud == 0) {
        FAdapter.Hold(Text, Start);
        return PassOn(Start);
    }
    // A character reaches the adapter only once the line would have carried its last bit.
    const auto Carried = [&](size_t Chars) {
        return Start + std::chrono::nanoseconds(static_cast<int64_t>(Chars) * 10'000'000'000 / Baud);
    };
    const size_t Step = HandOn != 0 ? HandOn : std::max<size_t>(1, Baud / 10'000);
    size_t Handed = 0;
    while (Handed < Text.size()) {
        const auto Now = TClock::now();
        const auto Elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(Now - Start);
        size_t Due = std::min(Text.size(), static_cast<size_t>(Elapsed.count() * Baud / 10'000'000'000));
        if (Due < Text.size() && Due > Handed)
            Due = Handed + (Due - Handed) / Step * Step; // whole steps only, but for the end
        if (Due <= Handed) {
            // A step's worth at a time, each part when its last character is carried.
            if (!Pause(Carried(std::min(Text.size(), Handed + Step))))
                return false;
            continue;
        }
        for (; Handed < Due; ++Handed)
            FAdapter.Hold(Text.substr(Handed, 1), Carried(Handed + 1));
        if (!PassOn(Now))
            return false;
    }
    return true;
}

void TSimTerminal::RequestStop() noexcept
{
    const char signal = 1;
    [[maybe_unused]] const auto ignored = write(FStopPipe[1], &signal, 1);
}

bool TSimTerminal::StopRequested() const
{
    pollfd fd{FStopPipe[0], POLLIN, 0};
    return poll(&fd, 1, 0) > 0;
}

void TSimTerminal::HangUp()
{
    closeFd(FSlave);
    closeFd(FMaster);
}
