#include <gtest/gtest.h>
TEST(Native, Builds) { SUCCEED(); }
