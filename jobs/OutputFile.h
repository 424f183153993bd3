// A file that a firmware read fills is whole under its name or not there at all: the run fills a
// temporary beside it, and only a run that went to its end puts it under the name.
#pragma once

#include <string>

// A fresh name in Path's folder, "<Path>.<8 hexadecimal digits>.part", for the run to create.
std::string TemporaryBeside(const std::string& Path);

// Puts Temporary under Path. Replace: whatever is there goes (a symbolic link is replaced, never
// followed); otherwise only when nothing is there. False when that fails; Temporary then stays.
bool PlaceFile(const std::string& Temporary, const std::string& Path, bool Replace);
