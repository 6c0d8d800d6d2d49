#include <gtest/gtest.h>
#include <windows.h>

TEST(Wine, RunsWin32Code) {
  EXPECT_NE(GetCurrentProcessId(), 0u);
}
