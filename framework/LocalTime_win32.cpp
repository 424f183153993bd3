#include "LocalTime.h"

#include <windows.h>

TLocalTime LocalNow()
{
    SYSTEMTIME Now{};
    GetLocalTime(&Now);
    return {Now.wYear, Now.wMonth, Now.wDay, Now.wHour, Now.wMinute, Now.wSecond, Now.wMilliseconds};
}
