// A fixture for tests of a worker against the simulated device: the worker goes first, since it
// holds the simulator's port, and a failed test prints what reached the device.
#pragma once

#include <gtest/gtest.h>

#include <iostream>
#include <memory>
#include <string>

#include "DeviceSimulator.h"
#include "arm_ser.h"

class TSimulatedDeviceTest : public testing::Test {
protected:
    void TearDown() override
    {
        if (HasFailure() && Sim)
            for (const std::string& Line : Sim->RequestLog())
                std::cerr << "device log: " << Line << '\n';
        Worker.reset();
        Sim.reset();
    }

    std::unique_ptr<TDeviceSimulator> Sim;
    std::unique_ptr<Tarm_SER> Worker;
};
