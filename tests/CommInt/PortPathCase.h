// The device path of a port name: the row and the check; each system's test file gives its table.
#pragma once

#include <gtest/gtest.h>

#include <ostream>

#include "PortPath.h"

struct TPathRow {
    const char* Name;
    const char* Path;
};

inline void PrintTo(const TPathRow& Row, std::ostream* Out) { *Out << Row.Name; }

class PortPath : public testing::TestWithParam<TPathRow> {};

TEST_P(PortPath, mapsANameToItsDevice) { EXPECT_EQ(PortDevicePath(GetParam().Name), GetParam().Path); }
