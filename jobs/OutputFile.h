// A file that a firmware read fills is whole under its name or not there at all: the run fills a
// temporary beside it, and only a run that went to its end puts it under the name.
#pragma once

#include <string>

// A fresh name in Path's folder, "<Path>.<8 hexadecimal digits>.part", for the run to create.
std::string TemporaryBeside(const std::string& Path);

// True when nothing is under Path, or a regular file or a symbolic link: what a read may replace.
// A FIFO, a socket or a device node is never turned into a file.
bool Replaceable(const std::string& Path);

// Empty when a new file can be created under Path (it is created and removed again), else the
// system's reason: a folder that can't be written, a name longer than the file system takes.
std::string CannotCreate(const std::string& Path);

// Puts Temporary under Path. Replace: a regular file there goes, and Temporary takes its permission
// bits, or a symbolic link (replaced, never followed); otherwise only when nothing is there. False
// when that fails; Temporary then stays.
bool PlaceFile(const std::string& Temporary, const std::string& Path, bool Replace);
