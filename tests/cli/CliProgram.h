// sw30415 run as a child process for the tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "ChildProgram.h"
#include "DeviceSimulator.h"
#include "TestFiles.h"

class TProgram : public TChildProgram {
public:
    TProgram(std::vector<std::string> Arguments, const std::filesystem::path& Folder, int Stdout = -1)
        : TChildProgram(CLI_PROGRAM, std::move(Arguments), Folder, Stdout)
    {
    }
};

// A table of runs of the program, each case in a temporary folder of its own.
template <class TCase>
class TProgramCases : public testing::TestWithParam<TCase> {
protected:
    TTempFolder Folder{"cli-test"};
};

// A simulated device, started: the default settings with Change (if any) applied, Held at Address.
inline std::unique_ptr<TDeviceSimulator> StartDevice(void (*Change)(TSimSettings&), uint32_t Address, const TBytes& Held)
{
    TSimSettings Settings;
    if (Change)
        Change(Settings);
    auto Sim = std::make_unique<TDeviceSimulator>(Settings);
    Sim->Memory().Write(Address, Held);
    Sim->Start();
    return Sim;
}
