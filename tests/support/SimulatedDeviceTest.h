// A fixture for tests of a worker against the simulated device: the worker goes first, since it
// holds the simulator's port, and a failed test prints what reached the device.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <memory>
#include <string>

#include "DeviceSimulator.h"
#include "WaitUntil.h"
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

    // Generous bounds: a loaded machine or a sanitizer build must never turn them into a verdict.
    static constexpr std::chrono::seconds LinkBound{10};
    static constexpr std::chrono::seconds RunBound{40};

    // The simulator answers only once started.
    void CreateSim(const TSimSettings& Settings = {}) { Sim = std::make_unique<TDeviceSimulator>(Settings); }
    void StartSim(const TSimSettings& Settings = {})
    {
        CreateSim(Settings);
        Sim->Start();
    }
    // A worker on Port, the simulator's when empty; true once its link is open.
    bool StartWorker(const std::string& Port = {}, std::chrono::milliseconds Pause = PollPause)
    {
        Worker = std::make_unique<Tarm_SER>(true, Pause);
        Worker->SetPortName(Port.empty() ? Sim->PortPath() : Port);
        Worker->Resume();
        return Worker->AwaitOpen(LinkBound);
    }
    bool Connect(const TSimSettings& Settings = {}, std::chrono::milliseconds Pause = PollPause)
    {
        StartSim(Settings);
        return StartWorker({}, Pause);
    }
    bool Finished() const
    {
        return WaitUntil([&] { return Worker->Idle(); }, RunBound);
    }

    std::unique_ptr<TDeviceSimulator> Sim;
    std::unique_ptr<Tarm_SER> Worker;
};
