// The image of an update or verify, opened once: its size, its SHA-256 digest and the open file
// that the runs then write and compare, whatever takes its name later.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "FirmwareUpdate.h"

class TRunFile;

struct TImageFacts {
    std::string Path;
    int64_t Size = 0;
    std::string Sha256{}; // lower-case hex
    std::shared_ptr<const TRunFile> File{};
};

// Opens the image at Path as the write run opens it (neither a FIFO nor a device can hold it up)
// and takes its size and digest: Done with Image filled in; NoImage when nothing is there; else
// ImageRefused, as it is not a readable regular file of 1 byte up to the firmware area's size.
// Fault: what is wrong with it ("does not exist", "is empty", ...).
TUpdateOutcome OpenImageFile(const std::string& Path, TImageFacts& Image, std::string& Fault);

// The digest of File's bytes from its position to its end, in lower-case hex; empty when reading or
// the library failed.
std::string Sha256Hex(TRunFile& File);

// One SHA-256 digest, computed by the system's own library (libcrypto, or CNG on Windows): a record's
// image digest must be one that other tools reproduce, so it is not written here.
class TSha256 {
public:
    TSha256();
    ~TSha256();

    bool Add(const void* Bytes, size_t Count);
    // The digest of all that was added; none when the library failed.
    std::optional<std::array<uint8_t, 32>> Finish();

private:
    struct TState;
    std::unique_ptr<TState> FState;
};
