#include "Thread.h"
#include <gtest/gtest.h>
TEST(Thread, placeholder) { EXPECT_TRUE(IsMainThread()); }
