// sw30415 update --record: one whole line per device and attempt, also from processes that append
// to the same file at once.
#include <gtest/gtest.h>

#include <sstream>

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
        std::string Port, Image, Text;
        bool Checked = true; // the device passed its checks
    };
    const TEnd Ends[] = {
        {Good.PortPath(), Image, R"("status":"Update Done","exit_code":0,"failed":false,)"},
        {Other.PortPath(), OtherImage, R"("status":"Update Done","exit_code":0,"failed":false,)"},
        {BadCell.PortPath(), Image, R"("status":"Error after read","exit_code":9,"failed":true,)"},
        {Unplugged.PortPath(), Image, R"("status":"Error after read","exit_code":10,"failed":true,)"},
        {"/dev/ttyNoSuchPort", OtherImage, R"("status":"cannot open the port: not there","exit_code":3,"failed":true,)", false},
        // The protection word was never read.
        {LostInCheck.PortPath(), OtherImage, R"("protection_word":null,)", false},
    };
    size_t Count = 0;
    for (std::string Line; std::getline(Lines, Line); ++Count) {
        EXPECT_TRUE(Line.starts_with(R"({"started":")") && Line.ends_with("}")) << Line;
        for (const char* Key : {"ended", "adapter", "boot_line", "protection_word", "mac_address", "write", "read"})
            EXPECT_NE(Line.find("\"" + std::string(Key) + "\":"), std::string::npos) << Key << " in " << Line;
        const auto End = std::find_if(std::begin(Ends), std::end(Ends), [&](const TEnd& End) {
            return Line.find(R"("port":")" + End.Port + "\"") != std::string::npos;
        });
        ASSERT_NE(End, std::end(Ends)) << Line;
        EXPECT_NE(Line.find(End->Text), std::string::npos) << Line;
        EXPECT_NE(Line.find(R"("image":{"file":")" + End->Image + R"(","size":1000,"sha256":")"), std::string::npos)
            << Line;
        // Only a device that passed its checks has its MAC address in the record.
        EXPECT_EQ(Line.find(R"("mac_address":"0x 02 00 53 30 41 50")") != std::string::npos, End->Checked)
            << Line;
    }
    EXPECT_EQ(Count, std::size(Ends));
}

} // namespace
