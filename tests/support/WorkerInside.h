// The worker's fields, for tests that arrange or check a state no member shows: a run placed at a
// chosen address, an operation armed on a worker that never runs, the buffer a refused start must
// leave alone, the port object of a failed open.
#pragma once

#include <span>
#include <vector>

#include "arm_ser.h"

struct TWorkerInside {
    static std::atomic<int32_t>& Operation(Tarm_SER& Worker) { return Worker.FOperation; }
    static std::atomic<int32_t>& LinkOpen(Tarm_SER& Worker) { return Worker.FLinkOpen; }
    static std::atomic<bool>& Done(Tarm_SER& Worker) { return Worker.FDone; }
    static std::atomic<uint32_t>& Address(Tarm_SER& Worker) { return Worker.FAddress; }
    static std::atomic<uint32_t>& StartAddress(Tarm_SER& Worker) { return Worker.FStartAddress; }
    static std::atomic<uint32_t>& EndAddress(Tarm_SER& Worker) { return Worker.FEndAddress; }
    static std::span<uint8_t> OutBuffer(Tarm_SER& Worker) { return Worker.FOutBuffer; }
    static TComm* Comm(const Tarm_SER& Worker) { return Worker.FComm.load(); }
    // Every field a start operation writes, and the buffer.
    static std::vector<int64_t> ArmedState(const Tarm_SER& W)
    {
        std::vector<int64_t> State{W.FOperation, W.FAddress,   W.FStartAddress, W.FEndAddress, W.FError,
                                   W.FDone,      W.FBlockCount, W.FPrefix,      W.FWriteLength, W.FWriteKind};
        State.insert(State.end(), std::begin(W.FOutBuffer), std::end(W.FOutBuffer));
        return State;
    }
};
