// What sw30415 prints while it works: the progress figures, the bar and the board.
#include <gtest/gtest.h>

#include "ProgressDisplay.h"

#include <cstdio>
#include <regex>

namespace {

struct TFiguresCase {
    const char* Name;
    TRunProgress Run;
    double Seconds;
    const char* Expected;
};
void PrintTo(const TFiguresCase& Case, std::ostream* Out) { *Out << Case.Name; }

class ProgressFiguresTable : public testing::TestWithParam<TFiguresCase> {};

TEST_P(ProgressFiguresTable, ShowPercentBlocksRateElapsedAndTimeLeft)
{
    EXPECT_EQ(ProgressFigures(GetParam().Run, GetParam().Seconds), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProgressFiguresTable,
    testing::Values(
        // 404 blocks in 12 s: 33.7 blocks or 4.3 kB a second; 492 blocks left take 14.6 s.
        TFiguresCase{"MidRun", {45, 404, 896}, 12.0, " 45%  404/896 blocks  4.3 kB/s  00:12 elapsed  00:15 left"},
        TFiguresCase{"NothingDoneYet", {0, 0, 896}, 0.5, "  0%  0/896 blocks  0.0 kB/s  00:01 elapsed  --:-- left"},
        TFiguresCase{"Done", {100, 8, 8}, 75.0, "100%  8/8 blocks  0.0 kB/s  01:15 elapsed  00:00 left"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

} // namespace

// What the display wrote to Out, the progress figures (timed, so they vary) with the blanks before
// them replaced by "F".
std::string Written(std::FILE* Out)
{
    std::string Text(static_cast<size_t>(std::ftell(Out)), '\0');
    std::rewind(Out);
    Text.resize(std::fread(Text.data(), 1, Text.size(), Out));
    std::fclose(Out);
    return std::regex_replace(Text, std::regex(R"( *\d+%  \d+/\d+ blocks .*? left)"), "F");
}

TEST(JobDisplay, OnePortsBarEndsBeforeEachStatusLineAndAListIsRedrawnInPlaceOrPrefixed)
{
    const auto Run = [](bool Terminal, std::vector<std::string> Ports) {
        std::FILE* Out = std::tmpfile();
        const bool Single = Ports.size() == 1;
        TJobDisplay Display(Out, Terminal, Ports, Single);
        for (size_t Port = 0; Port < Ports.size(); ++Port) {
            Display.Show(Port, "Write Firmware");
            Display.Progress(Port, {50, 1, 2});
            Display.Progress(Port, {100, 2, 2});
            Display.Show(Port, "Update Done");
        }
        Display.Finish();
        return Written(Out);
    };
    const std::string Bar = "[###############...............]F\033[K";
    const std::string FullBar = "[##############################]F\033[K";
    EXPECT_EQ(Run(true, {"COM3"}), "Write Firmware\n\r" + Bar + "\r" + FullBar + "\nUpdate Done\n");
    EXPECT_EQ(Run(false, {"COM3"}), "Write Firmware\nF\nF\nUpdate Done\n");
    EXPECT_EQ(Run(false, {"a", "bb"}), "a: Write Firmware\na:F\na:F\na: Update Done\n"
                                       "bb: Write Firmware\nbb:F\nbb:F\nbb: Update Done\n");
    // Each redraw goes back up over the two lines it drew before; the last shows both ports done.
    const std::string Board = Run(true, {"a", "bb"});
    const std::string Up = "\033[2A";
    size_t Ups = 0;
    for (size_t At = Board.find(Up); At != std::string::npos; At = Board.find(Up, At + 1))
        ++Ups;
    EXPECT_EQ(Ups, 7u) << Board;
    EXPECT_EQ(Board.substr(Board.rfind(Up)), Up + "\ra   Update Done" + std::string(13, ' ') + "  \033[K\n"
                                             "\rbb  Update Done" + std::string(13, ' ') + "  \033[K\n");
}
