#include "ImageFile.h"

#include <cstdio>
#include <filesystem>

#include "MemoryMap.h"
#include "PathText.h"
#include "RunFile.h"

TUpdateOutcome OpenImageFile(const std::string& Path, TImageFacts& Image, std::string& Fault)
{
    std::error_code Error;
    const std::filesystem::file_status Status = std::filesystem::status(PathFromText(Path), Error);
    const auto Refuse = [&Fault](TUpdateOutcome Outcome, std::string Text) {
        Fault = std::move(Text);
        return Outcome;
    };
    if (Status.type() == std::filesystem::file_type::not_found)
        return Refuse(TUpdateOutcome::NoImage, "does not exist");
    // A folder on the way that cannot be searched leaves the type unknown.
    if (Status.type() == std::filesystem::file_type::none)
        return Refuse(TUpdateOutcome::ImageRefused, "cannot be reached: " + Error.message());
    if (Status.type() != std::filesystem::file_type::regular)
        return Refuse(TUpdateOutcome::ImageRefused, "is not a regular file");
    const auto File = std::make_shared<TRunFile>();
    if (!File->OpenForReading(Path))
        return Refuse(TUpdateOutcome::ImageRefused, "cannot be read (no permission, or a program is writing it)");
    const int64_t Size = File->Size();
    if (!ImageFits(Size))
        return Refuse(TUpdateOutcome::ImageRefused,
                      Size <= 0 ? "is empty" : "holds " + std::to_string(Size) + " bytes");
    const std::string Digest = Sha256Hex(*File);
    if (Digest.empty())
        return Refuse(TUpdateOutcome::ImageRefused, "cannot be read to its end");
    Image = {Path, Size, Digest, File};
    return TUpdateOutcome::Done;
}

std::string Sha256Hex(TRunFile& File)
{
    TSha256 Hash;
    char Chunk[16384];
    int Got = 0;
    while ((Got = File.Read(Chunk, sizeof Chunk)) > 0)
        if (!Hash.Add(Chunk, static_cast<size_t>(Got)))
            return {};
    const auto Digest = Hash.Finish();
    if (Got < 0 || !Digest)
        return {};
    std::string Hex;
    for (const uint8_t Byte : *Digest) {
        char Pair[3];
        std::snprintf(Pair, sizeof Pair, "%02x", Byte);
        Hex += Pair;
    }
    return Hex;
}
