// The Windows tests depend on a Japanese Wine: fail loudly when the ANSI code
// page is not 932 instead of comparing garbled text.
#include <windows.h>

#include <gtest/gtest.h>

TEST(Environment, AnsiCodePageIsJapanese) {
  EXPECT_EQ(GetACP(), 932u);
  EXPECT_TRUE(IsDBCSLeadByte(0x95));
  EXPECT_FALSE(IsDBCSLeadByte('A'));
}
