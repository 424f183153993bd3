// The update's files: where the image is looked for, the read-back name, the comparison.
#include <gtest/gtest.h>

#include "FirmwareFiles.h"
#include "PathText.h"
#include "ProgramPath.h"
#include "TestFiles.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

TEST(FirmwareFiles, MasterImageLiesInTheMasterFolderBesideTheProgram)
{
    EXPECT_EQ(PathFromText(MasterImagePath()), ProgramPath().parent_path() / "master" / "Sim30415.sim");
}

struct TNameCase {
    const char* Name;
    const char* Image;
    TLocalTime Time;
    const char* Expected;
};
void PrintTo(const TNameCase& Case, std::ostream* Out) { *Out << Case.Name; }

class ReadBackNames : public testing::TestWithParam<TNameCase> {};

TEST_P(ReadBackNames, AppendTheTimeWithoutLeadingZerosInTheImagesFolder)
{
    EXPECT_EQ(ReadBackName(GetParam().Image, GetParam().Time), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadBackNames,
    testing::Values(
        TNameCase{"Example", "/opt/tool/master/Sim30415.sim", {2026, 12, 6, 9, 5, 3, 45},
                  "/opt/tool/master/Sim30415202612695345.b79"},
        TNameCase{"SmallNumbersUnpadded", "/m/Sim30415.sim", {2027, 3, 1, 0, 0, 0, 7}, "/m/Sim304152027310007.b79"},
        TNameCase{"WidestNumbers", "/m/Sim30415.sim", {2030, 11, 30, 23, 59, 59, 999},
                  "/m/Sim3041520301130235959999.b79"},
        TNameCase{"OnlyTheLastDotCut", "/m/fw.v2.bin", {2026, 1, 2, 3, 4, 5, 6}, "/m/fw.v22026123456.b79"},
        TNameCase{"NoExtension", "/m/image", {2026, 1, 2, 3, 4, 5, 6}, "/m/image2026123456.b79"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

struct TCompareCase {
    const char* Name;
    size_t ImageSize;
    long ReadBackSize; // -1: no read-back file
    long ChangedAt;    // -1: nothing changed
    bool Equal;
};
void PrintTo(const TCompareCase& Case, std::ostream* Out) { *Out << Case.Name; }

class CompareFilesTable : public testing::TestWithParam<TCompareCase> {};

TEST_P(CompareFilesTable, ComparesTheImagesBytesOnlyAndDeletesTheReadBack)
{
    const TTempFolder Folder("compare-files-test");
    const TCompareCase& Case = GetParam();
    const auto Image = Folder.Path() / "image.sim";
    const auto ReadBack = Folder.Path() / "image.b79";
    const TBytes Bytes = Pattern(Case.ImageSize, 3);
    SaveFile(Image, Bytes);
    if (Case.ReadBackSize >= 0) {
        TBytes Back = Pattern(static_cast<size_t>(Case.ReadBackSize), 3);
        if (Case.ChangedAt >= 0)
            Back[static_cast<size_t>(Case.ChangedAt)] ^= 1;
        SaveFile(ReadBack, Back);
    }
    EXPECT_EQ(CompareAndDeleteReadBack(TextFromPath(Image), TextFromPath(ReadBack)), Case.Equal);
    EXPECT_FALSE(std::filesystem::exists(ReadBack));
    EXPECT_EQ(LoadFile(Image), Bytes);
}

INSTANTIATE_TEST_SUITE_P(Table, CompareFilesTable,
                         testing::Values(TCompareCase{"Same", 1000, 1000, -1, true},
                                         TCompareCase{"LongerReadBack", 1000, 1024, -1, true},
                                         TCompareCase{"ExtraBytesDifferIgnored", 1000, 1024, 1010, true},
                                         TCompareCase{"FirstByte", 1000, 1024, 0, false},
                                         TCompareCase{"LastOfFirstChunk", 1000, 1024, 199, false},
                                         TCompareCase{"FirstOfSecondChunk", 1000, 1024, 200, false},
                                         TCompareCase{"LastImageByte", 1000, 1024, 999, false},
                                         TCompareCase{"ShortReadBack", 1000, 999, -1, false},
                                         TCompareCase{"ShortInFirstChunk", 1000, 150, -1, false},
                                         TCompareCase{"NoReadBack", 1000, -1, -1, false}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

#ifndef _WIN32
// A FIFO waits in a blocking open for a writer that never comes.
TEST(FirmwareFiles, CompareRefusesAFifoAtOnce)
{
    const TTempFolder Folder("compare-fifo-test");
    const auto Fifo = Folder.Path() / "image.sim";
    const auto ReadBack = Folder.Path() / "image.b79";
    ASSERT_EQ(mkfifo(Fifo.c_str(), 0600), 0);
    SaveFile(ReadBack, Pattern(100, 3));
    EXPECT_FALSE(CompareAndDeleteReadBack(TextFromPath(Fifo), TextFromPath(ReadBack)));
    const auto Image = Folder.Path() / "other.sim";
    SaveFile(Image, Pattern(100, 3));
    EXPECT_FALSE(CompareAndDeleteReadBack(TextFromPath(Image), TextFromPath(Fifo)));
}
#endif

} // namespace
