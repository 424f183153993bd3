// The pieces of the update records: the line, UTC times, the image's hash.
#include <gtest/gtest.h>

#include <sstream>

#include "RunFile.h"
#include "TestFiles.h"
#include "UpdateRecord.h"

namespace {

TEST(RecordParts, ALineParsesWhateverBytesItsNamesHoldAndKeepsItsFieldOrder)
{
    const TTempFolder Folder("record-line-test");
    const std::string File = (Folder.Path() / "records.jsonl").string();
    const TUpdateFiles Files{.Command = "update", .Image = {"image.sim", 1000, "ab12", nullptr}, .RecordFile = File};
    // A name as it was given, and as the record holds it once parsed: bytes that are not UTF-8 replaced.
    const std::pair<std::string, std::string> Names[] = {
        {"COM3", "COM3"},
        {"a\"b\\c\n\t\x01\x7f", "a\"b\\c\n\t\x01\x7f"},
        {"Z\xc3\xa4hler \xe2\x82\xac \xf0\x9f\x94\x8c", "Z\xc3\xa4hler \xe2\x82\xac \xf0\x9f\x94\x8c"},
        {"\xff|\xc3|", "\xef\xbf\xbd|\xef\xbf\xbd|"},
    };
    for (const auto& [Name, Parsed] : Names)
        EXPECT_EQ(TUpdateRecord(Files, Name, 0).Finish(ecPortNotOpened, "cannot open the port: " + Name), ecPortNotOpened);

    const TBytes Bytes = LoadFile(File);
    std::istringstream Lines(std::string(Bytes.begin(), Bytes.end()));
    const std::vector<std::string> Keys = {"started", "ended", "command", "port", "adapter", "boot_line",
                                           "protection_word", "mac_address", "image", "status", "exit_code",
                                           "failed", "write", "read"};
    size_t Count = 0;
    for (std::string Line; std::getline(Lines, Line); ++Count) {
        ASSERT_LT(Count, std::size(Names));
        SCOPED_TRACE(Names[Count].second);
        const auto Record = nlohmann::ordered_json::parse(Line);
        std::vector<std::string> Order;
        for (const auto& Field : Record.items())
            Order.push_back(Field.key());
        EXPECT_EQ(Order, Keys);
        EXPECT_EQ(Record["port"], Names[Count].second);
        EXPECT_EQ(Record["status"], "cannot open the port: " + Names[Count].second);
        EXPECT_EQ(Record["image"], nlohmann::ordered_json({{"file", "image.sim"}, {"size", 1000}, {"sha256", "ab12"}}));
        EXPECT_EQ(Record["exit_code"], 3);
        EXPECT_EQ(Record["failed"], true);
        EXPECT_TRUE(Record["write"].is_null() && Record["read"].is_null() && Record["boot_line"].is_null());
    }
    EXPECT_EQ(Count, std::size(Names));
    using namespace std::chrono;
    EXPECT_EQ(UtcText(sys_days{2026y / 1 / 2} + 3h + 4min + 5s + 6ms), "2026-01-02T03:04:05.006Z");
}

TEST(RecordParts, Sha256OfAFileIsTheSystemLibrarysStandardDigest)
{
    const TTempFolder Folder("record-hash-test");
    const std::pair<std::string, std::string> Cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {std::string(1'000'000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& [Bytes, Digest] : Cases) {
        const auto Path = Folder.Path() / "image.sim";
        SaveFile(Path, TBytes(Bytes.begin(), Bytes.end()));
        TRunFile File;
        ASSERT_TRUE(File.OpenForReading(Path.string()));
        EXPECT_EQ(Sha256Hex(File), Digest);
    }
}

} // namespace
