// Port names on Windows: the device path of a name, and the classified refusals of an open.
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

TEST(PortAccess, aRefusalIsClassifiedWithWhatToDo)
{
    const struct {
        int Error;
        TOpenRefusal Kind;
        const char* Said;
    } Rows[] = {
        {ERROR_ACCESS_DENIED, TOpenRefusal::Busy, R"(\\.\COM4 is in use by another program)"},
        {ERROR_SHARING_VIOLATION, TOpenRefusal::Busy, "close that program"},
        {ERROR_FILE_NOT_FOUND, TOpenRefusal::Missing, R"(\\.\COM4 is not there)"},
        {-1, TOpenRefusal::Other, "is not a serial port"},
        {ERROR_GEN_FAILURE, TOpenRefusal::Other, R"(\\.\COM4: )"},
    };
    for (const auto& Row : Rows) {
        const TOpenFailure Failure = ClassifyOpenFailure(R"(\\.\COM4)", Row.Error);
        EXPECT_EQ(Failure.Kind, Row.Kind) << Row.Error;
        EXPECT_NE(Failure.Advice.find(Row.Said), std::string::npos) << Row.Error << ": " << Failure.Advice;
    }
}

} // namespace
