// What sw30415's read, update, verify and --record may touch: the files they are given and nothing
// else, refused before any port opens when they could not end well; and files that stay whole and
// runs that say why when the disk fills.
#include <gtest/gtest.h>

#include <csignal>
#include <map>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "CliProgram.h"
#include "MemoryMap.h"

namespace {

namespace fs = std::filesystem;

// What a case puts under the name "there" in its folder before the run.
enum class TThere { Nothing, PrivateFile, Fifo, DeviceNode, LinkToImage, OthersLink, OthersDanglingLink };

struct TFilesCase {
    const char* Name;
    std::vector<std::string> Arguments; // "image", "long", "there", "records": names in the case's folder
    TThere There;
    // A full disk: the program runs under this file size limit (which binds root too); 0: none.
    size_t Limit;
    int ExitCode;
    const char* Said; // on stderr
};
void PrintTo(const TFilesCase& Case, std::ostream* Out) { *Out << Case.Name; }

using Files = TProgramCases<TFilesCase>;

// Makes There; false when only root can.
bool Make(TThere Kind, const fs::path& There, const fs::path& Image, const fs::path& Target)
{
    const bool Root = geteuid() == 0;
    switch (Kind) {
    case TThere::Nothing: break;
    case TThere::PrivateFile: SaveFile(There, {}); return chmod(There.c_str(), 0600) == 0;
    case TThere::Fifo: return mkfifo(There.c_str(), 0600) == 0;
    case TThere::DeviceNode: return Root && mknod(There.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    case TThere::LinkToImage: fs::create_symlink(Image, There); break;
    case TThere::OthersLink: SaveFile(Target, Pattern(10, 3)); [[fallthrough]];
    case TThere::OthersDanglingLink:
        fs::create_symlink(Target, There);
        return Root && lchown(There.c_str(), 65534, 65534) == 0; // nobody's
    }
    return true;
}

TEST_P(Files, AreRefusedBeforeAnyPortOpensOrEndWithTheSystemsReasonAndStayWhole)
{
    const TFilesCase& Case = GetParam();
    const auto Sim = StartDevice(nullptr, FirmwareStart, Pattern(1000, 9));
    const auto Image = Folder.Path() / "image.sim";
    const auto There = Folder.Path() / "there";
    const auto Target = Folder.Path() / "target.bin";
    const auto Records = Folder.Path() / "records.jsonl";
    SaveFile(Image, Pattern(1000, 9));
    // A read-back name of more than 255 bytes beside it; a temporary as long beside --out.
    const auto Long = Folder.Path() / (std::string(240, 'l') + ".sim");
    SaveFile(Long, Pattern(1000, 9));
    // Room for a hundred bytes of the next record line only.
    const std::string Earlier(Case.Limit ? Case.Limit - 100 : 10, 'x');
    SaveFile(Records, TBytes(Earlier.begin(), Earlier.end()));
    if (!Make(Case.There, There, Image, Target))
        GTEST_SKIP() << "needs root";
    const fs::file_status Before = fs::symlink_status(There);
    std::vector<std::string> Arguments = {"--fsize=" + (Case.Limit ? std::to_string(Case.Limit) : "unlimited"), "--",
                                          CLI_PROGRAM, Case.Arguments.front(), "--port", Sim->PortPath()};
    for (auto Argument = Case.Arguments.begin() + 1; Argument != Case.Arguments.end(); ++Argument) {
        const std::map<std::string, fs::path> Named = {{"image", Image}, {"long", Long}, {"there", There}, {"records", Records}};
        Arguments.push_back(Named.contains(*Argument) ? Named.at(*Argument).string() : *Argument);
    }
    // Inherited as ignored, so that a write beyond the limit fails rather than ends the program.
    std::signal(SIGXFSZ, SIG_IGN);

    TChildProgram Program("/usr/bin/prlimit", Arguments, Folder.Path());
    EXPECT_EQ(Program.Wait(), Case.ExitCode) << Program.Out() << Program.Err();
    EXPECT_NE(Program.Err().find(Case.Said), std::string::npos) << Program.Err();
    EXPECT_EQ(Sim->RequestLog().empty(), Case.Limit == 0 && Case.ExitCode != 0);
    EXPECT_EQ(fs::symlink_status(There).type(), Before.type());
    EXPECT_EQ(fs::symlink_status(There).permissions(), Before.permissions());
    EXPECT_EQ(fs::is_regular_file(fs::symlink_status(There)) ? LoadFile(There).size() : 0, Case.ExitCode ? 0u : 128u);
    EXPECT_EQ(LoadFile(Image), Pattern(1000, 9));
    EXPECT_EQ(fs::exists(Target) ? LoadFile(Target) : TBytes{}, Case.There == TThere::OthersLink ? Pattern(10, 3) : TBytes{});
    // A record line that did not fit is not there in part, so the next one starts where it would have.
    EXPECT_EQ(LoadFile(Records).size(), Earlier.size());
    EXPECT_TRUE(FilesEndingWith(Folder.Path(), ".b79").empty());
    EXPECT_TRUE(FilesEndingWith(Folder.Path(), ".part").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, Files,
    testing::Values(
        TFilesCase{"ForceKeepsTheReplacedFilesPermissions", {"read", "--out", "there", "--force", "--size", "128"},
                   TThere::PrivateFile, 0, 0, ""},
        TFilesCase{"ForceKeepsAFifo", {"read", "--out", "there", "--force", "--size", "128"}, TThere::Fifo, 0, 2,
                   "is neither a regular file nor a symbolic link"},
        TFilesCase{"ForceKeepsADeviceNode", {"read", "--out", "there", "--force", "--size", "128"}, TThere::DeviceNode,
                   0, 2, "is neither a regular file nor a symbolic link"},
        TFilesCase{"OutEmpty", {"read", "--out", "", "--size", "128"}, TThere::Nothing, 0, 2, "--out"},
        TFilesCase{"OutTemporaryNameTooLong", {"read", "--out", "long", "--force", "--size", "128"}, TThere::Nothing,
                   0, 2, "File name too long"},
        TFilesCase{"RecordIsTheImage", {"update", "--image", "image", "--record", "image"}, TThere::Nothing, 0, 2,
                   "is the same file as"},
        TFilesCase{"RecordLinksToTheImage", {"verify", "--image", "image", "--record", "there"}, TThere::LinkToImage, 0,
                   2, "is the same file as"},
        TFilesCase{"RecordIsTheOut", {"read", "--out", "there", "--force", "--size", "128", "--record", "there"},
                   TThere::PrivateFile, 0, 2, "is the same file as"},
        TFilesCase{"RecordThroughAnotherUsersLink", {"update", "--image", "image", "--record", "there"},
                   TThere::OthersLink, 0, 2, "symbolic link"},
        TFilesCase{"RecordThroughAnotherUsersDanglingLink", {"update", "--image", "image", "--record", "there"},
                   TThere::OthersDanglingLink, 0, 2, "symbolic link"},
        TFilesCase{"ReadBackNameTooLong", {"update", "--image", "long"}, TThere::Nothing, 0, 8, "File name too long"},
        TFilesCase{"RecordLineDoesNotFit", {"verify", "--image", "image", "--record", "records"}, TThere::Nothing,
                   65536, 13, "the record was not written"},
        TFilesCase{"ReadBackDoesNotFit", {"update", "--image", "image"}, TThere::Nothing, 512, 8, "File too large"},
        TFilesCase{"ReadOutDoesNotFit", {"read", "--out", "there", "--size", "1000"}, TThere::Nothing, 512, 8,
                   "File too large"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(FilesOfAnUpdate, TheImageCheckedAndHashedIsTheOneWrittenThoughAnotherTakesItsName)
{
    const TTempFolder Folder("cli-image-once-test");
    const auto Image = Folder.Path() / "image.sim";
    SaveFile(Image, Pattern(1000, 11));
    SaveFile(Folder.Path() / "other.sim", Pattern(1000, 12));
    TSimSettings Settings;
    // On the simulator's thread before it answers the boot query: after the check, before the write.
    Settings.LogSink = [&](const std::string& Line) {
        if (Line.starts_with("BOOT"))
            fs::rename(Folder.Path() / "other.sim", Image);
    };
    TDeviceSimulator Sim(Settings);
    Sim.Start();
    TProgram Program({"update", "--port", Sim.PortPath(), "--image", Image.string()}, Folder.Path());
    EXPECT_EQ(Program.Wait(), 0) << Program.Out() << Program.Err();
    // What the record's digest was taken from.
    EXPECT_EQ(Sim.Memory().Read(FirmwareStart, 1000), Pattern(1000, 11));
}

} // namespace
