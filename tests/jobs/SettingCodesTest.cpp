// The command line names settings by their list texts; texts outside a side's list are refused.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "SettingCodes.h"

namespace {

struct TCodeRow {
    const char* Name;
    TSettingList List;
    std::string_view Text;
    std::optional<uint8_t> Code;
};

const TCodeRow CodeRows[] = {
    {"FastestUsbRate", UsbBaudList, "115200", 9},
    {"FastestMeterRate", MeterBaudList, "38400", 7},
    {"UsbOnlyRateOnMeterBus", MeterBaudList, "57600", std::nullopt},
    {"SlowestRate", MeterBaudList, "300", 0},
    {"Parity", ParityList, "ODD", 2},
    {"LowerCaseParity", ParityList, "odd", std::nullopt},
    {"RateWithBlank", UsbBaudList, "9600 ", std::nullopt},
    {"Empty", ParityList, "", std::nullopt},
};

class SettingCodeTest : public testing::TestWithParam<TCodeRow> {};

TEST_P(SettingCodeTest, FindsTheCodeOfAListText)
{
    const TCodeRow& Row = GetParam();
    EXPECT_EQ(SettingCode(Row.List, Row.Text), Row.Code);
    if (Row.Code) {
        EXPECT_EQ(SettingText(Row.List, *Row.Code), Row.Text);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, SettingCodeTest, testing::ValuesIn(CodeRows),
                         [](const testing::TestParamInfo<TCodeRow>& Info) { return std::string(Info.param.Name); });

} // namespace
