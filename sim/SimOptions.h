// The command line of sw30415-sim.
#pragma once

#include "SimSettings.h"

#include <string>
#include <vector>

struct TSimOptions {
    TSimSettings Settings;
    std::string LinkPath; // empty: no link
    std::string LogPath;  // empty: the log goes to stderr
    bool Help = false;
    bool Version = false;
};

extern const char* const SimUsage;

// Throws std::invalid_argument with a message for the user on an unknown option or a bad value.
TSimOptions ParseSimOptions(const std::vector<std::string>& Arguments);
