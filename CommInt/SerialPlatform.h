// The serial back end: what the component needs of the platform's serial interface, with the Win32
// semantics the component was written against. One implementation per platform (SerialPlatform_*.cpp);
// every call that fails leaves the system's error code for LastError(). The names are the component's
// own, so that no macro of <windows.h> rewrites them and no call in the Win32 back end can mean both
// the system's function and this one.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "CommTypes.h"
#include "SerialDefs.h"
#include "SerialHandle.h"

namespace CommPlatform {

int LastError();

// Opens a device by name for reading and writing, exclusively, without waiting for modem lines,
// for transfers that OverlappedRead and OverlappedWrite bound in time.
THandle OpenDevice(const std::string& Name);
// True for a serial (character, terminal) device.
bool IsCharDevice(THandle Handle);
void CloseDevice(THandle Handle);

// Asks the driver to pass received characters on at once: USB adapters otherwise hold them up to
// their latency timer (16 ms), which every short reply of the device waits out. Returns what
// RestoreLatency needs to put the earlier setting back, or -1 where nothing was changed (the driver
// lacks the setting, refused it, or had it on already).
int RequestLowLatency(THandle Handle);
void RestoreLatency(THandle Handle, int Earlier);

// Reads complete at once with what has arrived; writes have no driver time-out.
bool ApplyTimeouts(THandle Handle);
// Fills the members the driver knows; the others keep what Dcb holds.
bool ReadLineState(THandle Handle, TDCB& Dcb);
bool WriteLineState(THandle Handle, const TDCB& Dcb);
bool SetQueueSizes(THandle Handle, int InQueue, int OutQueue);

// Transfers; Event is a manual-reset event of the caller's (see CreateManualEvent) that the
// platform may use to learn of the completion. False: the platform refused (LastError says why).
// Otherwise Result is the count transferred, or -1 when the transfer did not complete within
// Timeout ms (INFINITE: no limit); once the call has returned the transfer touches Buffer no more.
bool OverlappedWrite(THandle Handle, THandle Event, const void* Buffer, int Count, uint32_t Timeout,
                     int& Result);
bool OverlappedRead(THandle Handle, THandle Event, void* Buffer, int Count, uint32_t Timeout,
                    int& Result);

// The line error word (CE_ bits) and the input queue count; clears the line's error state.
bool LineStatus(THandle Handle, uint32_t& Errors, uint32_t& InQueue);
bool Purge(THandle Handle, uint32_t Flags);
// An extended line function (SETDTR, CLRDTR); on a device without modem lines there is no DTR to
// drive, and that counts as done.
bool LineFunction(THandle Handle, uint32_t Function);

// Manual-reset events, initially not signalled, that the event wait can wait on together with a
// device. INVALID_HANDLE_VALUE when none could be made.
THandle CreateManualEvent();
void CloseEvent(THandle Event);
void SignalEvent(THandle Event);
void UnsignalEvent(THandle Event);
TWaitResult WaitForEvent(THandle Event, uint32_t Timeout);

// Waits on the caller's own thread for characters to reach one device's input queue.
class TArrivalWait {
public:
    virtual ~TArrivalWait() = default;
    // Returns once characters have arrived since the previous return (or since creation), or after
    // Timeout. It may return early without an arrival, so the caller looks at the queue again.
    virtual void Wait(std::chrono::microseconds Timeout) = 0;
};
std::unique_ptr<TArrivalWait> CreateArrivalWait(THandle Handle);

// Waits for the line events in Mask (EV_ flags) on one device, or for a wake-up event.
class TEventWait {
public:
    virtual ~TEventWait() = default;
    // True when the device reported something (Raw, platform-specific); false when the wake-up
    // event is set, the wait failed or the device has been released. Touches the device only
    // while it has not been released.
    virtual bool Wait(uint32_t& Raw) = 0;
    // The EV_ flags of a raw report, 0 when none of Mask; may query the device, so the caller
    // makes sure the device is still open. HungUp is set when the report says the device is gone.
    virtual uint32_t Events(uint32_t Raw, bool& HungUp) = 0;
    // Stops watching the device; may run on another thread while Wait waits. Once it returns the
    // wait holds nothing of the device, not even for a moment, so that a close releases it at once
    // and the next open finds it free.
    virtual void Release() = 0;
};
std::unique_ptr<TEventWait> CreateEventWait(THandle Handle, uint32_t Mask, THandle WakeEvent);

} // namespace CommPlatform
