// Port names on Windows: the device path of a name, and the advice for a port another program holds.
#include <gtest/gtest.h>

#include <ostream>

#include <windows.h>

#include "PortAccess.h"
#include "PortPathCase.h"

namespace {

// Two-digit ports open only through the device namespace.
INSTANTIATE_TEST_SUITE_P(Names, PortPath,
                         testing::Values(TPathRow{"COM3", R"(\\.\COM3)"}, TPathRow{"COM12", R"(\\.\COM12)"},
                                         TPathRow{R"(\\.\COM7)", R"(\\.\COM7)"},
                                         TPathRow{R"(\\?\usb#vid_0403)", R"(\\?\usb#vid_0403)"}));

TEST(PortAccess, aPortHeldByAnotherProgramSaysSo)
{
    const std::string Advice = PortAccessAdvice(R"(\\.\COM4)", ERROR_ACCESS_DENIED);
    EXPECT_NE(Advice.find(R"(\\.\COM4 is in use by another program)"), std::string::npos) << Advice;
    EXPECT_EQ(PortAccessAdvice(R"(\\.\COM4)", ERROR_FILE_NOT_FOUND), "");
    EXPECT_EQ(PortAccessAdvice(R"(\\.\COM4)", -1), "");
}

} // namespace
