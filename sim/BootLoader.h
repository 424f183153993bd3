// What the device's boot loader answers to each request, and what that does to its memory. Kept
// free of any I/O so the answer is decided in one place; TDeviceSimulator puts it on the line.
#pragma once

#include "RequestParser.h"
#include "SimMemory.h"
#include "SimSettings.h"

#include <chrono>
#include <string>
#include <vector>

struct TReplyPart {
    std::chrono::milliseconds DelayBefore{0};
    std::string Text;
};

struct TAnswer {
    std::vector<TReplyPart> Parts; // empty: the request goes unanswered
    bool HangUp = false;
    std::string LogLine;
};

class TBootLoader {
public:
    TBootLoader(const TSimSettings& Settings, TSimMemory& Memory);

    TAnswer Answer(const TRequestLine& Line);

private:
    TAnswer AnswerRead(const TRequest& Request);
    TAnswer AnswerWrite(const TRequest& Request);
    TAnswer AnswerBootQuery();
    // Applies the garbage and overlong faults to the answer of a read or a write.
    void Spoil(TAnswer& Answer);

    const TSimSettings& FSettings;
    TSimMemory& FMemory;
    unsigned FBlocksStored = 0;
    unsigned FReadsAnswered = 0;
    unsigned FRepliesSent = 0; // to reads and writes
};
