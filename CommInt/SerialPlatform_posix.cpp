// POSIX serial back end (termios). The rate as a number, the event objects and the event wait are
// each system's own: SerialBaud_*, ManualEvent_* and EventWait_* files.
#include "SerialPlatform.h"

#include <cerrno>
#include <algorithm>
#include <chrono>
#include <limits>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/serial.h>
#endif

#include "SerialBaud.h"

namespace CommPlatform {
namespace {

int Fd(THandle Handle) { return static_cast<int>(Handle); }

// Mark and space parity are an extension (Linux, some BSDs); without it they are refused.
#ifdef CMSPAR
constexpr tcflag_t MarkSpace = CMSPAR;
#else
constexpr tcflag_t MarkSpace = 0;
#endif

// Milliseconds left of a wait begun at Start; -1 for no limit (poll's convention).
int RemainingMs(std::chrono::steady_clock::time_point Start, uint32_t Timeout)
{
    if (Timeout == INFINITE)
        return -1;
    const auto Elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - Start)
                             .count();
    const auto Left = static_cast<int64_t>(Timeout) - Elapsed;
    return Left <= 0 ? 0 : static_cast<int>(std::min<int64_t>(Left, std::numeric_limits<int>::max()));
}

bool PollFor(int Descriptor, short Events, int TimeoutMs)
{
    pollfd Entry{Descriptor, Events, 0};
    int Ready;
    do
        Ready = poll(&Entry, 1, TimeoutMs);
    while (Ready < 0 && errno == EINTR);
    return Ready > 0;
}

tcflag_t CharacterSize(uint8_t ByteSize)
{
    switch (ByteSize) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    case 8: return CS8;
    default: return 0;
    }
}

// False for a parity the driver cannot carry.
bool ApplyParity(termios& Tio, uint8_t Parity)
{
    Tio.c_cflag &= ~(PARENB | PARODD | MarkSpace);
    switch (Parity) {
    case NOPARITY: return true;
    case ODDPARITY: Tio.c_cflag |= PARENB | PARODD; return true;
    case EVENPARITY: Tio.c_cflag |= PARENB; return true;
    case MARKPARITY: Tio.c_cflag |= PARENB | PARODD | MarkSpace; return MarkSpace != 0;
    case SPACEPARITY: Tio.c_cflag |= PARENB | MarkSpace; return MarkSpace != 0;
    default: return false;
    }
}

uint8_t ParityOf(const termios& Tio)
{
    if (!(Tio.c_cflag & PARENB))
        return NOPARITY;
    if (Tio.c_cflag & MarkSpace)
        return (Tio.c_cflag & PARODD) ? MARKPARITY : SPACEPARITY;
    return (Tio.c_cflag & PARODD) ? ODDPARITY : EVENPARITY;
}

uint8_t ByteSizeOf(const termios& Tio)
{
    switch (Tio.c_cflag & CSIZE) {
    case CS5: return 5;
    case CS6: return 6;
    case CS7: return 7;
    default: return 8;
    }
}

void ApplyFlags(termios& Tio, uint32_t Flags)
{
    Tio.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY |
                     INPCK | IGNPAR);
    if (Flags & dcb::fParity)
        Tio.c_iflag |= INPCK;
    if (Flags & dcb::fOutX)
        Tio.c_iflag |= IXON;
    if (Flags & dcb::fInX)
        Tio.c_iflag |= IXOFF;
    Tio.c_cflag &= ~CRTSCTS;
    if ((Flags & dcb::fOutxCtsFlow) || (Flags & dcb::fRtsControlMask) == dcb::RtsControlHandshake)
        Tio.c_cflag |= CRTSCTS;
}

uint32_t FlagsOf(const termios& Tio, uint32_t Flags)
{
    Flags |= dcb::fBinary;
    Flags = (Tio.c_iflag & INPCK) ? Flags | dcb::fParity : Flags & ~dcb::fParity;
    Flags = (Tio.c_iflag & IXON) ? Flags | dcb::fOutX : Flags & ~dcb::fOutX;
    Flags = (Tio.c_iflag & IXOFF) ? Flags | dcb::fInX : Flags & ~dcb::fInX;
    if (Tio.c_cflag & CRTSCTS)
        Flags = (Flags & ~dcb::fRtsControlMask) | dcb::fOutxCtsFlow | dcb::RtsControlHandshake;
    else if ((Flags & dcb::fRtsControlMask) == dcb::RtsControlHandshake)
        Flags = (Flags & ~(dcb::fRtsControlMask | dcb::fOutxCtsFlow)) | dcb::RtsControlEnable;
    return Flags;
}

// The DTR and RTS controls as the modem lines stand, so that a setting which keeps the driver's
// flags keeps the lines too. A device without modem lines (a pseudo-terminal) shows them as an open
// leaves any port: raised. Handshake controls stay, since no line shows them.
uint32_t LineControlsOf(int Descriptor, uint32_t Flags)
{
    int Lines = 0;
    if (ioctl(Descriptor, TIOCMGET, &Lines) != 0)
        Lines = TIOCM_DTR | TIOCM_RTS;
    if ((Flags & dcb::fDtrControlMask) != dcb::DtrControlHandshake)
        Flags = (Flags & ~dcb::fDtrControlMask) | ((Lines & TIOCM_DTR) ? dcb::DtrControlEnable : 0u);
    if ((Flags & dcb::fRtsControlMask) != dcb::RtsControlHandshake)
        Flags = (Flags & ~dcb::fRtsControlMask) | ((Lines & TIOCM_RTS) ? dcb::RtsControlEnable : 0u);
    return Flags;
}

// True when the driver holds what Want asked for. tcsetattr succeeds when any one change was
// applied, and a driver may drop the settings its line cannot carry, so only reading them back
// tells. The rate may differ by what a UART's divisor makes of it.
bool Took(int Descriptor, const termios& Want, uint32_t BaudRate)
{
    termios Got{};
    if (tcgetattr(Descriptor, &Got) != 0)
        return false;
    constexpr tcflag_t Control = CSIZE | CSTOPB | PARENB | PARODD | MarkSpace | CRTSCTS;
    constexpr tcflag_t Input = INPCK | IXON | IXOFF;
    const uint32_t Rate = CurrentBaudRate(Descriptor);
    const uint32_t Deviation = Rate > BaudRate ? Rate - BaudRate : BaudRate - Rate;
    return (Got.c_cflag & Control) == (Want.c_cflag & Control) &&
           (Got.c_iflag & Input) == (Want.c_iflag & Input) && Got.c_cc[VSTART] == Want.c_cc[VSTART] && Got.c_cc[VSTOP] == Want.c_cc[VSTOP] &&
           uint64_t{Deviation} * 50 <= BaudRate;
}

// Drives DTR as the record's DTR control asks; a terminal without modem lines has nothing to drive.
void ApplyDtrControl(int Descriptor, uint32_t Flags)
{
    int Line = TIOCM_DTR;
    const uint32_t Control = Flags & dcb::fDtrControlMask;
    if (Control == 0)
        ioctl(Descriptor, TIOCMBIC, &Line);
    else if (Control == dcb::DtrControlEnable)
        ioctl(Descriptor, TIOCMBIS, &Line);
}

} // namespace

int LastError() { return errno; }

THandle OpenDevice(const std::string& Name)
{
    int Descriptor = open(Name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (Descriptor < 0 && errno == EISDIR)
        // Opened all the same, so that the device check turns it away like any other non-device.
        Descriptor = open(Name.c_str(), O_RDONLY | O_CLOEXEC);
    if (Descriptor < 0)
        return INVALID_HANDLE_VALUE;
    if (isatty(Descriptor)) {
        // TIOCEXCL alone does not stop a second open by root; the lock does, across processes.
        if (flock(Descriptor, LOCK_EX | LOCK_NB) != 0) {
            const int Error = errno == EWOULDBLOCK ? EBUSY : errno;
            close(Descriptor);
            errno = Error;
            return INVALID_HANDLE_VALUE;
        }
        ioctl(Descriptor, TIOCEXCL);
    }
    return Descriptor;
}

bool IsCharDevice(THandle Handle)
{
    struct stat Info {};
    return fstat(Fd(Handle), &Info) == 0 && S_ISCHR(Info.st_mode) && isatty(Fd(Handle));
}

void CloseDevice(THandle Handle)
{
    if (isatty(Fd(Handle)))
        ioctl(Fd(Handle), TIOCNXCL);
    close(Fd(Handle));
}

#if defined(TIOCGSERIAL) && defined(ASYNC_LOW_LATENCY)
// Only the low-latency bit is ever written: it is one an ordinary user may change, and the other
// flags stay as the driver has them.
int RequestLowLatency(THandle Handle)
{
    serial_struct Info{};
    if (ioctl(Fd(Handle), TIOCGSERIAL, &Info) != 0 || (Info.flags & ASYNC_LOW_LATENCY))
        return -1;
    const int Earlier = Info.flags;
    Info.flags |= ASYNC_LOW_LATENCY;
    return ioctl(Fd(Handle), TIOCSSERIAL, &Info) == 0 ? Earlier : -1;
}

void RestoreLatency(THandle Handle, int Earlier)
{
    serial_struct Info{};
    if (Earlier < 0 || ioctl(Fd(Handle), TIOCGSERIAL, &Info) != 0)
        return;
    Info.flags = (Info.flags & ~ASYNC_LOW_LATENCY) | (Earlier & ASYNC_LOW_LATENCY);
    ioctl(Fd(Handle), TIOCSSERIAL, &Info);
}
#else
int RequestLowLatency(THandle) { return -1; }
void RestoreLatency(THandle, int) {}
#endif

bool ApplyTimeouts(THandle Handle)
{
    termios Tio{};
    if (tcgetattr(Fd(Handle), &Tio) != 0)
        return false;
    Tio.c_cc[VMIN] = 0;
    Tio.c_cc[VTIME] = 0;
    return tcsetattr(Fd(Handle), TCSANOW, &Tio) == 0;
}

bool ReadLineState(THandle Handle, TDCB& Dcb)
{
    termios Tio{};
    if (tcgetattr(Fd(Handle), &Tio) != 0)
        return false;
    Dcb.BaudRate = CurrentBaudRate(Fd(Handle));
    Dcb.ByteSize = ByteSizeOf(Tio);
    Dcb.Parity = ParityOf(Tio);
    Dcb.StopBits = (Tio.c_cflag & CSTOPB) ? TWOSTOPBITS : ONESTOPBIT;
    Dcb.Flags = LineControlsOf(Fd(Handle), FlagsOf(Tio, Dcb.Flags));
    Dcb.XonChar = static_cast<char>(Tio.c_cc[VSTART]);
    Dcb.XoffChar = static_cast<char>(Tio.c_cc[VSTOP]);
    return true;
}

bool WriteLineState(THandle Handle, const TDCB& Dcb)
{
    termios Tio{};
    const tcflag_t Size = CharacterSize(Dcb.ByteSize);
    if (Size == 0 || Dcb.StopBits > TWOSTOPBITS) {
        errno = EINVAL;
        return false;
    }
    if (tcgetattr(Fd(Handle), &Tio) != 0)
        return false;
    // Raw binary transfer: no line editing, echo, signals or output processing.
    Tio.c_oflag &= ~OPOST;
    Tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    Tio.c_cflag = (Tio.c_cflag & ~(CSIZE | CSTOPB)) | Size | CREAD | CLOCAL;
    if (Dcb.StopBits != ONESTOPBIT)
        Tio.c_cflag |= CSTOPB;
    if (!ApplyParity(Tio, Dcb.Parity)) {
        errno = EINVAL;
        return false;
    }
    ApplyFlags(Tio, Dcb.Flags);
    Tio.c_cc[VSTART] = static_cast<cc_t>(Dcb.XonChar);
    Tio.c_cc[VSTOP] = static_cast<cc_t>(Dcb.XoffChar);
    Tio.c_cc[VMIN] = 0;
    Tio.c_cc[VTIME] = 0;
    if (tcsetattr(Fd(Handle), TCSANOW, &Tio) != 0 || !SetBaudRate(Fd(Handle), Dcb.BaudRate))
        return false;
    if (!Took(Fd(Handle), Tio, Dcb.BaudRate)) {
        errno = EINVAL;
        return false;
    }
    ApplyDtrControl(Fd(Handle), Dcb.Flags);
    return true;
}

bool SetQueueSizes(THandle, int InQueue, int OutQueue)
{
    // The driver's queues have a fixed size here; only nonsense sizes are refused.
    if (InQueue < 0 || OutQueue < 0) {
        errno = EINVAL;
        return false;
    }
    return true;
}

// Non-blocking descriptors: a transfer never outlives its call, so no event is needed.
bool OverlappedWrite(THandle Handle, THandle, const void* Buffer, int Count, uint32_t Timeout, int& Result)
{
    const auto Start = std::chrono::steady_clock::now();
    const auto* Bytes = static_cast<const char*>(Buffer);
    int Done = 0;
    while (Done < Count) {
        const ssize_t Written = write(Fd(Handle), Bytes + Done, static_cast<size_t>(Count - Done));
        if (Written > 0) {
            Done += static_cast<int>(Written);
            continue;
        }
        if (Written < 0 && errno == EINTR)
            continue;
        if (Written < 0 && errno != EAGAIN)
            return false;
        const int Left = RemainingMs(Start, Timeout);
        if (Left == 0 || !PollFor(Fd(Handle), POLLOUT, Left)) {
            Result = -1;
            return true;
        }
    }
    Result = Done;
    return true;
}

bool OverlappedRead(THandle Handle, THandle, void* Buffer, int Count, uint32_t, int& Result)
{
    Result = 0;
    if (Count <= 0)
        return true;
    ssize_t Got;
    do
        Got = read(Fd(Handle), Buffer, static_cast<size_t>(Count));
    while (Got < 0 && errno == EINTR);
    if (Got < 0 && errno != EAGAIN)
        return false;
    Result = Got < 0 ? 0 : static_cast<int>(Got);
    return true;
}

bool LineStatus(THandle Handle, uint32_t& Errors, uint32_t& InQueue)
{
    Errors = 0;
    InQueue = 0;
    int Waiting = 0;
    if (ioctl(Fd(Handle), FIONREAD, &Waiting) != 0)
        return false;
    InQueue = static_cast<uint32_t>(Waiting);
    return true;
}

bool Purge(THandle Handle, uint32_t Flags)
{
    const bool In = Flags & (PURGE_RXABORT | PURGE_RXCLEAR);
    const bool Out = Flags & (PURGE_TXABORT | PURGE_TXCLEAR);
    if (!In && !Out)
        return true;
    return tcflush(Fd(Handle), In && Out ? TCIOFLUSH : (In ? TCIFLUSH : TCOFLUSH)) == 0;
}

bool LineFunction(THandle Handle, uint32_t Function)
{
    int Line = TIOCM_DTR;
    unsigned long Request;
    switch (Function) {
    case SETDTR: Request = TIOCMBIS; break;
    case CLRDTR: Request = TIOCMBIC; break;
    default: errno = EINVAL; return false;
    }
    if (ioctl(Fd(Handle), Request, &Line) == 0)
        return true;
    // A pseudo-terminal has no modem lines: there is no DTR to drive, and nothing failed.
    return errno == ENOTTY && isatty(Fd(Handle));
}

// An event is a descriptor that polls readable while signalled.
TWaitResult WaitForEvent(THandle Event, uint32_t Timeout)
{
    if (Event == INVALID_HANDLE_VALUE) {
        errno = EBADF;
        return TWaitResult::wrError;
    }
    const auto Start = std::chrono::steady_clock::now();
    for (;;) {
        pollfd Entry{Fd(Event), POLLIN, 0};
        const int Ready = poll(&Entry, 1, RemainingMs(Start, Timeout));
        if (Ready > 0)
            return (Entry.revents & POLLIN) ? TWaitResult::wrSignaled : TWaitResult::wrError;
        if (Ready == 0)
            return TWaitResult::wrTimeout;
        if (errno != EINTR)
            return TWaitResult::wrError;
    }
}

} // namespace CommPlatform
