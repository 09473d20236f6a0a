#include <gtest/gtest.h>

#include "naming/ResultIndex.h"

TEST(Build, NoResultIndexIsLargestInt32) {
    EXPECT_EQ(NO_RESULT_INDEX, 0x7FFFFFFF);
}
