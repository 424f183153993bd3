// The serial back end: what the component needs of the platform's serial interface, with the Win32
// semantics the component was written against. One implementation per platform (SerialPlatform_*.cpp);
// every call that fails leaves the system's error code for LastError().
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "CommTypes.h"

using THandle = intptr_t;
inline constexpr THandle INVALID_HANDLE_VALUE = -1;

enum class TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };
inline constexpr uint32_t INFINITE = 0xFFFFFFFF;

namespace CommPlatform {

int LastError();

// Opens a device by name for reading and writing, exclusively, without waiting for modem lines.
THandle CreateFile(const std::string& Name);
// True for a serial (character, terminal) device.
bool IsCharDevice(THandle Handle);
void CloseHandle(THandle Handle);

// Reads complete at once with what has arrived; writes have no driver time-out.
bool SetCommTimeouts(THandle Handle);
// Fills the members the driver knows; the others keep what Dcb holds.
bool GetCommState(THandle Handle, TDCB& Dcb);
bool SetCommState(THandle Handle, const TDCB& Dcb);
bool SetupComm(THandle Handle, int InQueue, int OutQueue);

// Transfers. False: the platform refused (LastError says why). Otherwise Result is the count
// transferred, or -1 when the transfer did not complete within Timeout ms (INFINITE: no limit).
bool WriteFile(THandle Handle, const void* Buffer, int Count, uint32_t Timeout, int& Result);
bool ReadFile(THandle Handle, void* Buffer, int Count, uint32_t Timeout, int& Result);

// The line error word (CE_ bits) and the input queue count; clears the line's error state.
bool ClearCommError(THandle Handle, uint32_t& Errors, uint32_t& InQueue);
bool PurgeComm(THandle Handle, uint32_t Flags);
bool EscapeCommFunction(THandle Handle, uint32_t Function);

// Manual-reset events the event wait can wait on together with a device.
THandle CreateEvent();
void CloseEvent(THandle Event);
void SetEvent(THandle Event);
void ResetEvent(THandle Event);
TWaitResult WaitForEvent(THandle Event, uint32_t Timeout);

// Waits for the line events in Mask (EV_ flags) on one device, or for a wake-up event.
class TEventWait {
public:
    virtual ~TEventWait() = default;
    // True when the device reported something (Raw, platform-specific); false when the wake-up
    // event is set or the wait failed. Does not touch the device itself.
    virtual bool Wait(uint32_t& Raw) = 0;
    // The EV_ flags of a raw report, 0 when none of Mask; may query the device, so the caller
    // makes sure the device is still open. HungUp is set when the report says the device is gone.
    virtual uint32_t Events(uint32_t Raw, bool& HungUp) = 0;
    // Stops watching the device. Once it returns the wait holds nothing of the device, not even for
    // a moment, so that a close releases it at once and the next open finds it free.
    virtual void Release() = 0;
};
std::unique_ptr<TEventWait> CreateEventWait(THandle Handle, uint32_t Mask, THandle WakeEvent);

} // namespace CommPlatform
