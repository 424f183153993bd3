#include "CommObjs.h"

THandleObject::~THandleObject() { CommPlatform::CloseEvent(FHandle); }

TSimpleEvent::TSimpleEvent()
{
    FHandle = CommPlatform::CreateEvent();
    FLastError = FHandle == INVALID_HANDLE_VALUE ? CommPlatform::LastError() : 0;
}

TWaitResult TEvent::WaitFor(uint32_t Timeout)
{
    const TWaitResult Result = CommPlatform::WaitForEvent(FHandle, Timeout);
    if (Result == TWaitResult::wrError)
        FLastError = CommPlatform::LastError();
    return Result;
}

void TEvent::SetEvent() { CommPlatform::SetEvent(FHandle); }

void TEvent::ResetEvent() { CommPlatform::ResetEvent(FHandle); }
