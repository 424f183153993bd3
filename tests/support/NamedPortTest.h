// A fixture for the serial component's cases on a port of a real driver with the simulator behind
// it, named by an environment variable; the cases skip themselves when it is not set.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "CommInt.h"
#include "FrameCodec.h"
#include "WaitUntil.h"

class TNamedPortTest : public testing::Test {
protected:
    // From SetUp.
    void UsePortNamedBy(const char* Variable)
    {
        const char* Name = std::getenv(Variable);
        if (!Name || !*Name)
            GTEST_SKIP() << Variable << " names no port with the simulator behind it";
        FPort = Name;
    }

    // Sends the boot query and collects the reply's first line; empty when none came.
    static std::string AskBoot(TComm& Comm)
    {
        Comm.PurgeOut();
        Comm.PurgeIn();
        EXPECT_EQ(Comm.Write(BootQueryFrame, BootQueryLength), BootQueryLength);
        std::string Reply;
        WaitUntil([&] {
            char Chunk[64];
            const int Got = Comm.Read(Chunk, sizeof Chunk);
            if (Got > 0)
                Reply.append(Chunk, static_cast<size_t>(Got));
            return Reply.find_first_of("\r\n", 1) != std::string::npos;
        }, std::chrono::seconds(5));
        return Reply;
    }

    std::string FPort;
};
