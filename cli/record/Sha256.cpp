#include "Sha256.h"

#include <cstdio>

#include "RunFile.h"

std::string Sha256Hex(TRunFile& File)
{
    TSha256 Hash;
    char Chunk[16384];
    int Got = 0;
    while ((Got = File.Read(Chunk, sizeof Chunk)) > 0)
        if (!Hash.Add(Chunk, static_cast<size_t>(Got)))
            return {};
    const std::optional<TSha256::TDigest> Digest = Hash.Finish();
    if (Got < 0 || !Digest)
        return {};
    std::string Hex;
    for (const uint8_t Byte : *Digest) {
        char Pair[3];
        std::snprintf(Pair, sizeof Pair, "%02x", Byte);
        Hex += Pair;
    }
    return Hex;
}
