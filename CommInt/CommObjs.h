// Synchronisation objects of the serial component: a manual-reset event that the platform can wait
// on together with a device, and a critical section.
#pragma once

#include <cstdint>
#include <mutex>

#include "SerialHandle.h"

class THandleObject {
public:
    THandleObject();
    THandleObject(const THandleObject&) = delete;
    THandleObject& operator=(const THandleObject&) = delete;
    virtual ~THandleObject();

    THandle Handle() const { return FHandle; }
    int LastError() const { return FLastError; }

protected:
    THandle FHandle; // INVALID_HANDLE_VALUE when there is none
    int FLastError = 0;
};

class TEvent : public THandleObject {
public:
    // Timeout in milliseconds; INFINITE waits without limit.
    TWaitResult WaitFor(uint32_t Timeout);
    void SetEvent();
    void ResetEvent();
};

// Manual reset, initially not signalled, without name.
class TSimpleEvent : public TEvent {
public:
    TSimpleEvent();
};

// Recursive, as the platform's critical sections are.
class TCriticalSection {
public:
    void Enter() { FSection.lock(); }
    void Leave() { FSection.unlock(); }

private:
    std::recursive_mutex FSection;
};
