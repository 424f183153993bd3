// A simulated device with a worker connected to it, for tests and benches that drive a whole run.
// The worker is declared last so that it lets go of the simulator's port before the simulator goes.
#pragma once

#include <chrono>
#include <cstdio>

#include "DeviceSimulator.h"
#include "arm_ser.h"

// A device on a line paced at Baud, for a run that must take as long as on the real line.
inline TSimSettings PacedAt(unsigned Baud)
{
    TSimSettings Settings;
    Settings.Baud = Baud;
    return Settings;
}

struct TSimulatedLink {
    explicit TSimulatedLink(const TSimSettings& Settings = {}) : Sim(Settings)
    {
        Sim.Start();
        Worker.SetPortName(Sim.PortPath());
        Worker.Resume();
    }
    ~TSimulatedLink()
    {
        Worker.CloseLink();
        Worker.TerminateAndWait();
    }
    TSimulatedLink(const TSimulatedLink&) = delete;
    TSimulatedLink& operator=(const TSimulatedLink&) = delete;

    // False, and says so on the error stream, when the worker could not open the simulator's port.
    bool Opened(std::chrono::milliseconds Bound) const
    {
        if (Worker.AwaitOpen(Bound))
            return true;
        std::fprintf(stderr, "the worker could not open %s\n", Sim.PortPath().c_str());
        return false;
    }

    TDeviceSimulator Sim;
    Tarm_SER Worker{true};
};
