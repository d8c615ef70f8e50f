#include "shell/saver/saver_command.h"

#include <gtest/gtest.h>

TEST(ParseSaverCommand, EmptyLineIsTheDialogWithoutOwner) {
  SaverCommand c = ParseSaverCommand("");
  EXPECT_EQ(c.action, SAVER_CONFIGURE);
  EXPECT_TRUE(c.noOwner);
  EXPECT_EQ(ParseSaverCommand("  ").action, SAVER_CONFIGURE);
}

TEST(ParseSaverCommand, LettersInEitherCaseAfterSeparators) {
  EXPECT_EQ(ParseSaverCommand("/s").action, SAVER_RUN);
  EXPECT_EQ(ParseSaverCommand("-S").action, SAVER_RUN);
  EXPECT_EQ(ParseSaverCommand(" /-s").action, SAVER_RUN);
  EXPECT_EQ(ParseSaverCommand("S").action, SAVER_RUN);
}

TEST(ParseSaverCommand, PreviewTakesADecimalHandle) {
  SaverCommand c = ParseSaverCommand("/p 1234");
  EXPECT_EQ(c.action, SAVER_PREVIEW);
  EXPECT_EQ(c.window, 1234u);
  c = ParseSaverCommand("/L 77");
  EXPECT_EQ(c.action, SAVER_PREVIEW);
  EXPECT_EQ(c.window, 77u);
  EXPECT_EQ(ParseSaverCommand("/p").action, SAVER_INVALID) << "a preview needs its parent";
  EXPECT_EQ(ParseSaverCommand("/p x").action, SAVER_INVALID);
}

TEST(ParseSaverCommand, ConfigureWithAndWithoutOwner) {
  SaverCommand c = ParseSaverCommand("/c:5678");
  EXPECT_EQ(c.action, SAVER_CONFIGURE);
  EXPECT_EQ(c.window, 5678u);
  EXPECT_FALSE(c.noOwner);
  c = ParseSaverCommand("/C");
  EXPECT_EQ(c.action, SAVER_CONFIGURE);
  EXPECT_EQ(c.window, 0u);
  EXPECT_FALSE(c.noOwner) << "owned by the foreground window";
  c = ParseSaverCommand("-c 99");
  EXPECT_EQ(c.window, 99u);
}

TEST(ParseSaverCommand, PasswordAndUnknownLetters) {
  EXPECT_EQ(ParseSaverCommand("/a 12").action, SAVER_PASSWORD);
  EXPECT_EQ(ParseSaverCommand("/x").action, SAVER_INVALID);
  EXPECT_EQ(ParseSaverCommand("/1").action, SAVER_INVALID);
  EXPECT_EQ(ParseSaverCommand(nullptr).action, SAVER_CONFIGURE);
}

TEST(SkipProgramPath, QuotedAndPlain) {
  EXPECT_STREQ(SkipProgramPath("\"C:\\My Saver\\x.scr\" /s"), " /s");
  EXPECT_STREQ(SkipProgramPath("C:\\x.scr /p 12"), " /p 12");
  EXPECT_STREQ(SkipProgramPath("x.scr"), "");
  EXPECT_STREQ(SkipProgramPath("\"unterminated"), "");
}
