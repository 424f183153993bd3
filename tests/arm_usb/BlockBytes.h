// Blocks of data for the codec's tests.
#pragma once

#include <cstdint>
#include <vector>

#include "FrameCodec.h"

// A full block whose bytes differ from their neighbours.
inline std::vector<uint8_t> CountingBlock()
{
    std::vector<uint8_t> Bytes(BlockDataSize);
    for (int I = 0; I < BlockDataSize; ++I)
        Bytes[static_cast<size_t>(I)] = static_cast<uint8_t>(I * 7 + 3);
    return Bytes;
}

inline std::vector<uint8_t> DataOf(const TBlock& Block) { return {Block, Block + BlockDataSize}; }
