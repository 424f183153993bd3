// The running test program's own path, as the C runtime was told it at start: a source apart from
// the code under test.
#pragma once

#include <cstdlib>
#include <filesystem>

#ifndef _WIN32
#include <cerrno>
#endif

inline std::filesystem::path ProgramPath()
{
#ifdef _WIN32
    return std::filesystem::canonical(_pgmptr);
#else
    return std::filesystem::canonical(program_invocation_name);
#endif
}
