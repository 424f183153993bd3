// One connection to the device for the command-line program: a worker on the named port (the
// worker turns the name into a device path), closed and stopped on destruction.
#pragma once

#include <memory>
#include <string>

#include "ExitCodes.h"
#include "arm_ser.h"

class TConnection {
public:
    explicit TConnection(const std::string& PortName);
    ~TConnection();
    TConnection(const TConnection&) = delete;
    TConnection& operator=(const TConnection&) = delete;

    // Waits until the worker has tried to open the port; true when it is open. False also when
    // interrupted meanwhile.
    bool Open();
    Tarm_SER& Worker() { return *FWorker; }

private:
    std::unique_ptr<Tarm_SER> FWorker;
};

// Opens Link's port; the exit code when that failed (the reason and the advice on stderr), else ecDone.
TExitCode OpenPort(TConnection& Link, const std::string& Port);
