// The files of a firmware update: the image beside the program, the read-back file's name, and the
// comparison of the two.
#pragma once

#include <string>

#include "LocalTime.h"

class TRunFile;

// The folder of the running executable, then master, then Sim30415.sim.
std::string MasterImagePath();

// In the image's folder: the image's file name without its extension (from its last dot on), then
// Time's year, month, day, hour, minute, second and millisecond without leading zeros, then ".b79".
std::string ReadBackName(const std::string& ImagePath, const TLocalTime& Time);

// True when every byte of the image equals the byte at the same offset of the read-back file, which
// may be longer (it holds whole blocks). Compares in chunks of 200 bytes. Deletes the read-back file
// in every case.
bool CompareAndDeleteReadBack(const std::string& ImagePath, const std::string& ReadBackPath);
// The same with the image that is open already, read through a handle of its own.
bool CompareAndDeleteReadBack(const TRunFile& Image, const std::string& ReadBackPath);
