// One SHA-256 digest, computed by the system's own library (OpenSSL's libcrypto on Linux, CNG on
// Windows): a record's image digest must be one that other tools reproduce, so it is not written here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class TRunFile;

class TSha256 {
public:
    using TDigest = std::array<uint8_t, 32>;

    TSha256();
    ~TSha256();
    TSha256(const TSha256&) = delete;
    TSha256& operator=(const TSha256&) = delete;

    bool Add(const void* Bytes, size_t Count);
    // The digest of all that was added; none when the library failed.
    std::optional<TDigest> Finish();

private:
    struct TState;
    std::unique_ptr<TState> FState;
};

// The digest of File's bytes from its position to its end, in lower-case hex; empty when reading or
// the library failed.
std::string Sha256Hex(TRunFile& File);
