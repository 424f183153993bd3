#include "CommObjs.h"

#include "SerialPlatform.h"

THandleObject::THandleObject() : FHandle(INVALID_HANDLE_VALUE) {}

THandleObject::~THandleObject() { CommPlatform::CloseEvent(FHandle); }

TSimpleEvent::TSimpleEvent()
{
    FHandle = CommPlatform::CreateManualEvent();
    FLastError = FHandle == INVALID_HANDLE_VALUE ? CommPlatform::LastError() : 0;
}

TWaitResult TEvent::WaitFor(uint32_t Timeout)
{
    const TWaitResult Result = CommPlatform::WaitForEvent(FHandle, Timeout);
    if (Result == TWaitResult::wrError)
        FLastError = CommPlatform::LastError();
    return Result;
}

void TEvent::SetEvent() { CommPlatform::SignalEvent(FHandle); }

void TEvent::ResetEvent() { CommPlatform::UnsignalEvent(FHandle); }
