// Opens a port with the device's line settings, as the device worker does.
#pragma once

#include <string>

#include "CommInt.h"

inline void OpenLikeWorker(TComm& Comm, const std::string& Path)
{
    Comm.SetBaudRate(br115200);
    Comm.SetDatabits(da8);
    Comm.SetDeviceName(Path);
    Comm.SetFlowControl(fcNone);
    Comm.SetParity(paNone);
    Comm.SetStopbits(sb10);
    Comm.Open();
    Comm.SetDTR(true);
}
