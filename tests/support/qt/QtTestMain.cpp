// The widget tests' main: a QApplication for the tests and the Synchronize bridge, as the program has.
#include "SynchronizeHook.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests (CTest's discovery) needs no display.
    std::unique_ptr<QApplication> App;
    if (!GTEST_FLAG_GET(list_tests)) {
        App = std::make_unique<QApplication>(argc, argv);
        InstallWakeMainThread();
    }
    return RUN_ALL_TESTS();
}
