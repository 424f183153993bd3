// The image of an update, checked before any port opens: a file that cannot be written is refused
// before anything is sent, and without the read-back of the whole firmware area that a refused write
// run would still cost.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "Outcomes.h"

class TRunFile;

struct TImageFacts {
    std::string Path;
    int64_t Size = 0;
    std::string Sha256; // lower-case hex
    // The image as it was checked and hashed, open: the runs write and compare it, whatever takes
    // its name later.
    std::shared_ptr<const TRunFile> File{};
};

// Given: the --image argument; empty, the image beside the program. Returns ecDone with Image
// filled in, else ecNoImage for a missing file and ecWriteRefused for one that is not a readable
// regular file of 1 byte up to the firmware area's size, with the file and the rule on stderr; and
// ecReadFileFailed when no read-back file can be created beside it, with the system's reason.
TExitCode OpenCheckedImage(const std::string& Given, TImageFacts& Image);
