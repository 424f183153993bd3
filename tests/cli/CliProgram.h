// sw30415 run as a child process for the tests.
#pragma once

#include "ChildProgram.h"

class TProgram : public TChildProgram {
public:
    TProgram(std::vector<std::string> Arguments, const std::filesystem::path& Folder)
        : TChildProgram(CLI_PROGRAM, std::move(Arguments), Folder)
    {
    }
};
