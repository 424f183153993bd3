// The platform files: where the program lies and what time it is.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

#include "ExecutablePath.h"
#include "LocalTime.h"
#include "PathText.h"
#include "ProgramPath.h"

namespace {

TEST(Platform, ExecutableFolderIsTheFolderThisProgramLiesIn)
{
    const std::filesystem::path Folder = ExecutableFolder();
    ASSERT_FALSE(Folder.empty());
    EXPECT_TRUE(Folder.is_absolute());
    EXPECT_TRUE(std::filesystem::equivalent(Folder, ProgramPath().parent_path()));
    // The folder's text survives the trip through UTF-8 that file names make.
    EXPECT_EQ(PathFromText(TextFromPath(Folder)), Folder);
}

TEST(Platform, LocalNowIsTheRuntimesLocalTimeToTheMillisecond)
{
    const std::time_t Before = std::time(nullptr);
    const TLocalTime Now = LocalNow();
    const std::time_t After = std::time(nullptr);

    std::tm Parts{};
    Parts.tm_year = Now.Year - 1900;
    Parts.tm_mon = Now.Month - 1;
    Parts.tm_mday = Now.Day;
    Parts.tm_hour = Now.Hour;
    Parts.tm_min = Now.Minute;
    Parts.tm_sec = Now.Second;
    Parts.tm_isdst = -1;
    const std::time_t Seen = std::mktime(&Parts);
    // A second either side, for a clock that ticks over between the calls.
    EXPECT_GE(Seen, Before - 1);
    EXPECT_LE(Seen, After + 1);
    EXPECT_GE(Now.Millisecond, 0);
    EXPECT_LE(Now.Millisecond, 999);
}

} // namespace
