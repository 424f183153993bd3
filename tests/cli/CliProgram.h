// sw30415 run as a child process for the tests.
#pragma once

#include <gtest/gtest.h>

#include "ChildProgram.h"
#include "TestFiles.h"

class TProgram : public TChildProgram {
public:
    TProgram(std::vector<std::string> Arguments, const std::filesystem::path& Folder)
        : TChildProgram(CLI_PROGRAM, std::move(Arguments), Folder)
    {
    }
};

// A table of runs of the program, each case in a temporary folder of its own.
template <class TCase>
class TProgramCases : public testing::TestWithParam<TCase> {
protected:
    TTempFolder Folder{"cli-test"};
};
