// Where the running program lies, for files that ship beside it.
#pragma once

#include <filesystem>

// The folder of the running executable; empty when the system can't tell.
std::filesystem::path ExecutableFolder();
