// The run files: which opens keep which others out, and what a new read-back file refuses to be.
#include "RunFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "PathText.h"
#include "TestFiles.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

std::string Text(const std::filesystem::path& Path) { return TextFromPath(Path); }

// Whether another program could open Path for writing now, with the system's own way of keeping
// writers out: share modes on Windows, an exclusive flock here.
bool AnotherWriterGetsIn(const std::filesystem::path& Path)
{
#ifdef _WIN32
    const HANDLE File = CreateFileW(Path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(File);
    return true;
#else
    const int File = open(Path.c_str(), O_WRONLY | O_CLOEXEC);
    if (File < 0)
        return false;
    const bool Locked = flock(File, LOCK_EX | LOCK_NB) == 0;
    close(File);
    return Locked;
#endif
}

// A name that opens, on this system, as something other than a regular file.
std::string DeviceName()
{
#ifdef _WIN32
    return "NUL";
#else
    return "/dev/null";
#endif
}

TEST(RunFile, ReadersShareTheImageAndKeepWritersOut)
{
    const TTempFolder Folder("run-file-readers");
    const auto Image = Folder.Path() / "image.sim";
    const TBytes Bytes = Pattern(300, 1);
    SaveFile(Image, Bytes);
    ASSERT_TRUE(AnotherWriterGetsIn(Image));

    TRunFile First;
    TRunFile Second;
    ASSERT_TRUE(First.OpenForReading(Text(Image)));
    ASSERT_TRUE(Second.OpenForReading(Text(Image))) << "several devices are updated from one image";
    EXPECT_FALSE(AnotherWriterGetsIn(Image));
    EXPECT_EQ(First.Size(), 300);

    // The worker reads a block, and seeks back to send it again after a failure.
    TBytes Block(128);
    EXPECT_EQ(First.Read(Block.data(), 128), 128);
    EXPECT_EQ(First.Position(), 128);
    ASSERT_TRUE(First.Seek(256));
    EXPECT_EQ(First.Read(Block.data(), 128), 44) << "a short read at the end";
    EXPECT_TRUE(std::equal(Bytes.begin() + 256, Bytes.end(), Block.begin()));
    EXPECT_EQ(First.Read(Block.data(), 128), 0);

    First.Close();
    EXPECT_FALSE(AnotherWriterGetsIn(Image)) << "the second reader still holds it";
    Second.Close();
    EXPECT_TRUE(AnotherWriterGetsIn(Image));
}

TEST(RunFile, AFileBeingFilledIsItsRunsAlone)
{
    const TTempFolder Folder("run-file-filled");
    const auto ReadBack = Folder.Path() / "image.b79";
    const TBytes Bytes = Pattern(200, 2);

    TRunFile Run;
    ASSERT_TRUE(Run.Create(Text(ReadBack)));
    TRunFile Reader;
    EXPECT_FALSE(Reader.OpenForReading(Text(ReadBack)));
    EXPECT_FALSE(AnotherWriterGetsIn(ReadBack));
    EXPECT_TRUE(Run.Write(Bytes.data(), 200));
    EXPECT_EQ(Run.Size(), 200);
    Run.Close();

    EXPECT_TRUE(Reader.OpenForReading(Text(ReadBack)));
    Reader.Close();
    EXPECT_EQ(LoadFile(ReadBack), Bytes);
}

TEST(RunFile, OpensOnlyRegularFilesForReading)
{
    const TTempFolder Folder("run-file-kinds");
    TRunFile Run;
    EXPECT_FALSE(Run.OpenForReading(Text(Folder.Path() / "missing.sim")));
    EXPECT_FALSE(Run.OpenForReading(Text(Folder.Path())));
    EXPECT_FALSE(Run.OpenForReading(DeviceName()));
    EXPECT_FALSE(Run.IsOpen());
}

// What a read-back name may already hold when the run comes to create it.
struct TPlantedCase {
    const char* Name;
    // Puts something at Planted, with Victim an existing file elsewhere; false when this system
    // won't let the test make it.
    std::function<bool(const std::filesystem::path& Planted, const std::filesystem::path& Victim)> Plant;
};
void PrintTo(const TPlantedCase& Case, std::ostream* Out) { *Out << Case.Name; }

// Windows makes links for administrators and in developer mode only; Wine 8 says it made one and
// doesn't, hence the check that the link is there.
bool TryLink(const std::filesystem::path& Target, const std::filesystem::path& Link)
{
#ifdef _WIN32
    CreateSymbolicLinkW(Link.c_str(), Target.c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    const DWORD Attributes = GetFileAttributesW(Link.c_str());
    return Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
#else
    std::error_code Error;
    std::filesystem::create_symlink(Target, Link, Error);
    return !Error;
#endif
}

class CreateRefuses : public testing::TestWithParam<TPlantedCase> {};

TEST_P(CreateRefuses, WhatIsPlantedUnderTheNameAndLeavesItAlone)
{
    const TTempFolder Folder("run-file-planted");
    const auto Planted = Folder.Path() / "image.b79";
    const auto Victim = Folder.Path() / "victim";
    const TBytes VictimBytes = Pattern(50, 3);
    SaveFile(Victim, VictimBytes);
    if (!GetParam().Plant(Planted, Victim))
        GTEST_SKIP() << "this system won't let the test make one";

    TRunFile Run;
    EXPECT_FALSE(Run.Create(Text(Planted)));
    EXPECT_FALSE(Run.IsOpen());
    EXPECT_EQ(LoadFile(Victim), VictimBytes);
    EXPECT_FALSE(std::filesystem::exists(Folder.Path() / "nowhere")) << "a dangling link's target was created";
}

INSTANTIATE_TEST_SUITE_P(
    Table, CreateRefuses,
    testing::Values(TPlantedCase{"AFile",
                                 [](const auto& Planted, const auto&) {
                                     SaveFile(Planted, Pattern(10, 4));
                                     return true;
                                 }},
                    TPlantedCase{"AFolder",
                                 [](const auto& Planted, const auto&) {
                                     return std::filesystem::create_directory(Planted);
                                 }},
                    TPlantedCase{"ALinkToAFile",
                                 [](const auto& Planted, const auto& Victim) { return TryLink(Victim, Planted); }},
                    TPlantedCase{"ADanglingLink",
                                 [](const auto& Planted, const auto& Victim) {
                                     return TryLink(Victim.parent_path() / "nowhere", Planted);
                                 }}),
    [](const auto& Info) { return std::string(Info.param.Name); });

} // namespace
