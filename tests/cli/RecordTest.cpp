// sw30415 update --record: one whole line per device and attempt, also from processes that append
// to the same file at once.
#include <gtest/gtest.h>

#include <sstream>

#include <nlohmann/json.hpp>

#include <unistd.h>

#include "CliProgram.h"
#include "DeviceSimulator.h"

namespace {

TSimSettings Faulty(void (*Fault)(TSimSettings&))
{
    TSimSettings S;
    Fault(S);
    return S;
}

TEST(CliRecord, OneWholeLinePerDeviceAndAttemptFromProcessesAppendingAtOnce)
{
    const TTempFolder Folder("cli-record-test");
    TDeviceSimulator Good(TSimSettings{}), Other(TSimSettings{});
    TDeviceSimulator BadCell(Faulty([](TSimSettings& S) { S.BadCell = 0x8010; }));
    TDeviceSimulator Unplugged(Faulty([](TSimSettings& S) { S.HangUpAfterBlocks = 4; }));
    TDeviceSimulator LostInCheck(Faulty([](TSimSettings& S) { S.HangUpAfterReads = 0; }));
    for (TDeviceSimulator* Sim : {&Good, &Other, &BadCell, &Unplugged, &LostInCheck})
        Sim->Start();
    // An image each: two processes' read-back files beside one image, named to the same
    // millisecond, would collide.
    const std::string Image = (Folder.Path() / "first" / "image.sim").string();
    const std::string OtherImage = (Folder.Path() / "second" / "image.sim").string();
    const std::string Records = (Folder.Path() / "records.jsonl").string();
    for (const std::string& File : {Image, OtherImage}) {
        std::filesystem::create_directories(std::filesystem::path(File).parent_path());
        SaveFile(File, Pattern(1000, 24));
    }
    TProgram First({"update", "--port", Good.PortPath(), "--port", BadCell.PortPath(), "--port", Unplugged.PortPath(),
                    "--image", Image, "--record", Records},
                   Folder.Path() / "first");
    // The second's reader has gone, as `| head -1` goes once it has its line: its jobs go on.
    int Reader[2];
    ASSERT_EQ(pipe(Reader), 0);
    close(Reader[0]);
    TProgram Second({"update", "--port", Other.PortPath(), "--port", "/dev/ttyNoSuchPort", "--port",
                     LostInCheck.PortPath(), "--image", OtherImage, "--record", Records},
                    Folder.Path() / "second", Reader[1]);
    close(Reader[1]);
    EXPECT_EQ(First.Wait(), 9);
    EXPECT_EQ(Second.Wait(), 3);

    const TBytes Bytes = LoadFile(Records);
    std::istringstream Lines(std::string(Bytes.begin(), Bytes.end()));
    struct TEnd {
        std::string Port, Image, Status;
        int ExitCode;
        bool Checked = true; // the device passed its checks
    };
    const TEnd Ends[] = {
        {Good.PortPath(), Image, "Update Done", 0},
        {Other.PortPath(), OtherImage, "Update Done", 0},
        {BadCell.PortPath(), Image, "Error after read", 9},
        {Unplugged.PortPath(), Image, "Error after read", 10},
        {"/dev/ttyNoSuchPort", OtherImage, "cannot open the port: not there", 3, false},
        // The protection word was never read.
        {LostInCheck.PortPath(), OtherImage, "The link to the device was lost during the device check", 10, false},
    };
    size_t Count = 0;
    for (std::string Line; std::getline(Lines, Line); ++Count) {
        const auto Record = nlohmann::json::parse(Line);
        for (const char* Key : {"started", "ended", "adapter", "boot_line", "protection_word", "mac_address", "write", "read"})
            EXPECT_TRUE(Record.contains(Key)) << Key << " in " << Line;
        const auto End = std::find_if(std::begin(Ends), std::end(Ends),
                                      [&](const TEnd& End) { return Record["port"] == End.Port; });
        ASSERT_NE(End, std::end(Ends)) << Line;
        EXPECT_EQ(Record["status"], End->Status) << Line;
        EXPECT_EQ(Record["exit_code"], End->ExitCode) << Line;
        EXPECT_EQ(Record["failed"], End->ExitCode != 0) << Line;
        EXPECT_EQ(Record["image"]["file"], End->Image) << Line;
        EXPECT_EQ(Record["image"]["size"], 1000) << Line;
        EXPECT_TRUE(Record["image"]["sha256"].is_string()) << Line;
        // Only a device that passed its checks has its MAC address and its protection word in the record.
        EXPECT_EQ(Record["mac_address"] == "0x 02 00 53 30 41 50", End->Checked) << Line;
        EXPECT_EQ(Record["protection_word"] == "0x0000004E", End->Checked) << Line;
    }
    EXPECT_EQ(Count, std::size(Ends));
}

} // namespace
