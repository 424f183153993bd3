#include "ImageCheck.h"

#include <cstdio>
#include <filesystem>

#include "FirmwareFiles.h"
#include "MemoryMap.h"
#include "OutputFile.h"
#include "PathText.h"
#include "RunFile.h"
#include "Sha256.h"

namespace {

TExitCode Refuse(TExitCode Code, const std::string& Path, const std::string& Fault)
{
    std::fprintf(stderr,
                 "sw30415: the image \"%s\" %s; it must be a readable regular file of 1 to %u bytes (the firmware area)\n",
                 Path.c_str(), Fault.c_str(), static_cast<unsigned>(FirmwareAreaSize));
    return Code;
}

} // namespace

TExitCode OpenCheckedImage(const std::string& Given, TImageFacts& Image)
{
    const std::string Path = Given.empty() ? MasterImagePath() : Given;
    std::error_code Error;
    const std::filesystem::file_status Status = std::filesystem::status(PathFromText(Path), Error);
    if (Status.type() == std::filesystem::file_type::not_found)
        return Refuse(ecNoImage, Path, "does not exist");
    // A folder on the way that cannot be searched leaves the type unknown.
    if (Status.type() == std::filesystem::file_type::none)
        return Refuse(ecWriteRefused, Path, "cannot be reached: " + Error.message());
    if (Status.type() != std::filesystem::file_type::regular)
        return Refuse(ecWriteRefused, Path, "is not a regular file");
    // Opened as the write run opens it, which neither a FIFO nor a device can hold up.
    const auto Open = std::make_shared<TRunFile>();
    TRunFile& File = *Open;
    if (!File.OpenForReading(Path))
        return Refuse(ecWriteRefused, Path, "cannot be read (no permission, or a program is writing it)");
    const int64_t Size = File.Size();
    if (Size <= 0)
        return Refuse(ecWriteRefused, Path, "is empty");
    if (Size > int64_t{FirmwareAreaSize})
        return Refuse(ecWriteRefused, Path, "holds " + std::to_string(Size) + " bytes");
    const std::string Digest = Sha256Hex(File);
    if (Digest.empty())
        return Refuse(ecWriteRefused, Path, "cannot be read to its end");
    // The read-back file goes beside the image: a folder that takes no new file, or a name too long
    // for it (the longest time stamp tried), is found now rather than after the write run.
    const std::string ReadBack = ReadBackName(Path, {9999, 12, 31, 23, 59, 59, 999});
    if (const std::string Reason = CannotCreate(ReadBack); !Reason.empty()) {
        std::fprintf(stderr, "sw30415: no read-back file can be created beside the image (%s): %s\n", ReadBack.c_str(),
                     Reason.c_str());
        return ecReadFileFailed;
    }
    Image = {Path, Size, Digest, Open};
    return ecDone;
}
