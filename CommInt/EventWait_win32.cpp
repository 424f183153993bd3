// Line event wait on Win32: an overlapped WaitCommEvent, waited for together with the wake-up event.
// A wait still pending when the device is released is cancelled and waited for there, so that the
// system writes into neither the record nor the event word after the device has been closed.
#include "SerialPlatform.h"

#include <mutex>

namespace CommPlatform {
namespace {

class TCommEventWait final : public TEventWait {
public:
    TCommEventWait(THandle Handle, uint32_t Mask, THandle WakeEvent)
        : FDevice(Handle), FMask(Mask), FWake(WakeEvent), FDone(::CreateEventA(nullptr, TRUE, FALSE, nullptr))
    {
        ::SetCommMask(FDevice, FMask);
    }

    ~TCommEventWait() override
    {
        Release();
        if (FDone)
            ::CloseHandle(FDone);
    }

    bool Wait(uint32_t& Raw) override
    {
        {
            // Issued under the lock, so that it never reaches a device that Release has given up
            // (whose handle may by then belong to another open).
            std::lock_guard Lock(FLock);
            if (FDevice == INVALID_HANDLE_VALUE || !FDone)
                return false;
            if (!FPending) {
                FOverlapped = OVERLAPPED{};
                FOverlapped.hEvent = FDone;
                if (::WaitCommEvent(FDevice, &FEventWord, &FOverlapped)) {
                    Raw = FEventWord;
                    return true;
                }
                if (::GetLastError() != ERROR_IO_PENDING)
                    return false;
                FPending = true;
            }
        }
        const HANDLE Objects[] = {FDone, FWake};
        if (::WaitForMultipleObjects(2, Objects, FALSE, INFINITE) != WAIT_OBJECT_0)
            return false; // woken; the pending wait stays for the next call or for Release
        std::lock_guard Lock(FLock);
        if (!FPending)
            return false; // Release has settled it
        FPending = false;
        DWORD Unused = 0;
        const bool Completed = ::GetOverlappedResult(FDevice, &FOverlapped, &Unused, FALSE);
        ::ResetEvent(FDone);
        if (!Completed)
            return false;
        Raw = FEventWord;
        return true;
    }

    // The event word holds EV_ flags already; a vanished device shows as failing waits instead.
    uint32_t Events(uint32_t Raw, bool& HungUp) override
    {
        HungUp = false;
        return Raw & FMask;
    }

    void Release() override
    {
        std::lock_guard Lock(FLock);
        if (FDevice == INVALID_HANDLE_VALUE)
            return;
        if (FPending) {
            // This thread did not issue the wait, so CancelIo would not reach it.
            ::CancelIoEx(FDevice, &FOverlapped);
            DWORD Unused = 0;
            ::GetOverlappedResult(FDevice, &FOverlapped, &Unused, TRUE);
            FPending = false;
        }
        FDevice = INVALID_HANDLE_VALUE;
    }

private:
    std::mutex FLock;
    HANDLE FDevice; // INVALID_HANDLE_VALUE once released
    uint32_t FMask;
    HANDLE FWake;
    HANDLE FDone; // completion of the overlapped wait
    OVERLAPPED FOverlapped{};
    DWORD FEventWord = 0;
    bool FPending = false; // a WaitCommEvent is under way
};

} // namespace

std::unique_ptr<TEventWait> CreateEventWait(THandle Handle, uint32_t Mask, THandle WakeEvent)
{
    return std::make_unique<TCommEventWait>(Handle, Mask, WakeEvent);
}

} // namespace CommPlatform
