// Win32 serial back end: overlapped transfers on a device opened exclusively, each bounded by the
// caller's time-out and cancelled once it has passed.
#include "SerialPlatform.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <type_traits>

static_assert(std::is_same_v<THandle, HANDLE>, "SerialHandle.h must spell the system's HANDLE");

namespace CommPlatform {
namespace {

// The record is the system's DCB member for member, and its flags word holds the DCB's bit-fields
// where the compiler puts them, so the two convert by copying.
static_assert(sizeof(TDCB) == sizeof(DCB) && offsetof(TDCB, BaudRate) == offsetof(DCB, BaudRate) &&
              offsetof(TDCB, wReserved) == offsetof(DCB, wReserved) &&
              offsetof(TDCB, XonLim) == offsetof(DCB, XonLim) &&
              offsetof(TDCB, XoffLim) == offsetof(DCB, XoffLim) &&
              offsetof(TDCB, ByteSize) == offsetof(DCB, ByteSize) &&
              offsetof(TDCB, Parity) == offsetof(DCB, Parity) &&
              offsetof(TDCB, StopBits) == offsetof(DCB, StopBits) &&
              offsetof(TDCB, XonChar) == offsetof(DCB, XonChar) &&
              offsetof(TDCB, XoffChar) == offsetof(DCB, XoffChar) &&
              offsetof(TDCB, ErrorChar) == offsetof(DCB, ErrorChar) &&
              offsetof(TDCB, EofChar) == offsetof(DCB, EofChar) &&
              offsetof(TDCB, EvtChar) == offsetof(DCB, EvtChar) &&
              offsetof(TDCB, wReserved1) == offsetof(DCB, wReserved1));

constexpr DCB WithFlags(uint32_t Flags)
{
    TDCB Record{};
    Record.Flags = Flags;
    return std::bit_cast<DCB>(Record);
}

static_assert(WithFlags(dcb::fBinary).fBinary && WithFlags(dcb::fParity).fParity &&
              WithFlags(dcb::fOutxCtsFlow).fOutxCtsFlow && WithFlags(dcb::fOutxDsrFlow).fOutxDsrFlow &&
              WithFlags(dcb::DtrControlEnable).fDtrControl == DTR_CONTROL_ENABLE &&
              WithFlags(dcb::DtrControlHandshake).fDtrControl == DTR_CONTROL_HANDSHAKE &&
              WithFlags(dcb::fDsrSensitivity).fDsrSensitivity &&
              WithFlags(dcb::fTXContinueOnXoff).fTXContinueOnXoff && WithFlags(dcb::fOutX).fOutX &&
              WithFlags(dcb::fInX).fInX && WithFlags(dcb::fErrorChar).fErrorChar &&
              WithFlags(dcb::fNull).fNull &&
              WithFlags(dcb::RtsControlEnable).fRtsControl == RTS_CONTROL_ENABLE &&
              WithFlags(dcb::RtsControlHandshake).fRtsControl == RTS_CONTROL_HANDSHAKE &&
              WithFlags(dcb::fAbortOnError).fAbortOnError && !WithFlags(dcb::fBinary).fParity);

// Starts a transfer (Start issues it with the record and the count variable) and waits up to
// Timeout for it. One still running then is cancelled and waited for, so that it puts nothing into
// the caller's buffer after the return; if it completed meanwhile, its count stands.
template <class TStart>
bool Transfer(HANDLE Handle, HANDLE Event, uint32_t Timeout, int& Result, TStart Start)
{
    OVERLAPPED Overlapped{};
    Overlapped.hEvent = Event;
    DWORD Done = 0;
    if (Start(Overlapped, Done)) {
        Result = static_cast<int>(Done);
    } else if (::GetLastError() != ERROR_IO_PENDING) {
        return false;
    } else if (::WaitForSingleObject(Event, Timeout) == WAIT_OBJECT_0) {
        ::GetOverlappedResult(Handle, &Overlapped, &Done, FALSE);
        Result = static_cast<int>(Done);
    } else {
        ::CancelIo(Handle);
        Result = ::GetOverlappedResult(Handle, &Overlapped, &Done, TRUE) ? static_cast<int>(Done) : -1;
    }
    ::ResetEvent(Event);
    return true;
}

} // namespace

int LastError() { return static_cast<int>(::GetLastError()); }

THandle OpenDevice(const std::string& Name)
{
    return ::CreateFileA(Name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_FLAG_OVERLAPPED, nullptr);
}

bool IsCharDevice(THandle Handle) { return ::GetFileType(Handle) == FILE_TYPE_CHAR; }

void CloseDevice(THandle Handle) { ::CloseHandle(Handle); }

bool ApplyTimeouts(THandle Handle)
{
    COMMTIMEOUTS Timeouts{};
    Timeouts.ReadIntervalTimeout = MAXDWORD;
    return ::SetCommTimeouts(Handle, &Timeouts);
}

bool ReadLineState(THandle Handle, TDCB& Dcb)
{
    DCB State = std::bit_cast<DCB>(Dcb);
    State.DCBlength = sizeof State;
    if (!::GetCommState(Handle, &State))
        return false;
    Dcb = std::bit_cast<TDCB>(State);
    return true;
}

bool WriteLineState(THandle Handle, const TDCB& Dcb)
{
    DCB State = std::bit_cast<DCB>(Dcb);
    State.DCBlength = sizeof State;
    return ::SetCommState(Handle, &State);
}

bool SetQueueSizes(THandle Handle, int InQueue, int OutQueue)
{
    return ::SetupComm(Handle, static_cast<DWORD>(InQueue), static_cast<DWORD>(OutQueue));
}

bool OverlappedWrite(THandle Handle, THandle Event, const void* Buffer, int Count, uint32_t Timeout,
                     int& Result)
{
    return Transfer(Handle, Event, Timeout, Result, [&](OVERLAPPED& Overlapped, DWORD& Done) {
        return ::WriteFile(Handle, Buffer, static_cast<DWORD>(Count), &Done, &Overlapped);
    });
}

bool OverlappedRead(THandle Handle, THandle Event, void* Buffer, int Count, uint32_t Timeout,
                    int& Result)
{
    // The time-outs ask the driver to complete a read at once with what has arrived, but not every
    // driver does (Wine's waits for more), so the read asks only for what is already there. The
    // query clears the line's error state, as InQueCount's does.
    DWORD Errors = 0;
    COMSTAT Status{};
    if (!::ClearCommError(Handle, &Errors, &Status))
        return false;
    const DWORD Waiting = std::min<DWORD>(Status.cbInQue, static_cast<DWORD>(std::max(Count, 0)));
    if (Waiting == 0) {
        Result = 0;
        return true;
    }
    return Transfer(Handle, Event, Timeout, Result, [&](OVERLAPPED& Overlapped, DWORD& Done) {
        return ::ReadFile(Handle, Buffer, Waiting, &Done, &Overlapped);
    });
}

bool LineStatus(THandle Handle, uint32_t& Errors, uint32_t& InQueue)
{
    DWORD Word = 0;
    COMSTAT Status{};
    const bool Done = ::ClearCommError(Handle, &Word, &Status);
    Errors = Done ? Word : 0;
    InQueue = Done ? Status.cbInQue : 0;
    return Done;
}

bool Purge(THandle Handle, uint32_t Flags) { return ::PurgeComm(Handle, Flags); }

// The FTDI driver keeps its latency timer in the port's advanced settings, not in a call a program
// can make.
int RequestLowLatency(THandle) { return -1; }
void RestoreLatency(THandle, int) {}

bool LineFunction(THandle Handle, uint32_t Function)
{
    if (::EscapeCommFunction(Handle, Function))
        return true;
    // A port without modem lines (a virtual port, a pseudo-terminal under Wine) has no DTR to
    // drive, and nothing failed.
    return ::GetLastError() == ERROR_NOT_SUPPORTED;
}

THandle CreateManualEvent()
{
    const HANDLE Event = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    return Event ? Event : INVALID_HANDLE_VALUE;
}

void CloseEvent(THandle Event)
{
    if (Event != INVALID_HANDLE_VALUE)
        ::CloseHandle(Event);
}

void SignalEvent(THandle Event) { ::SetEvent(Event); }

void UnsignalEvent(THandle Event) { ::ResetEvent(Event); }

TWaitResult WaitForEvent(THandle Event, uint32_t Timeout)
{
    // INVALID_HANDLE_VALUE is also the handle of this process, which a wait would wait on.
    if (Event == INVALID_HANDLE_VALUE) {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return TWaitResult::wrError;
    }
    switch (::WaitForSingleObject(Event, Timeout)) {
    case WAIT_OBJECT_0: return TWaitResult::wrSignaled;
    case WAIT_TIMEOUT: return TWaitResult::wrTimeout;
    case WAIT_ABANDONED: return TWaitResult::wrAbandoned;
    default: return TWaitResult::wrError;
    }
}

} // namespace CommPlatform
