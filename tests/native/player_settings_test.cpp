#include "shell/base/player_settings.h"

#include <gtest/gtest.h>


namespace {
PlayerSettings Parse(const char *value) {
  PlayerSettings s = {7, 7, 7, 7};
  ParsePlayerSettings(value, &s);
  return s;
}
}  // namespace

TEST(PlayerSettings, ZerosOrNothingLeaveEverySwitchOn) {
  for (const char *value : {"0000", "", static_cast<const char *>(nullptr)}) {
    PlayerSettings s = Parse(value);
    EXPECT_EQ(s.noTransition, 0);
    EXPECT_EQ(s.noSound, 0);
    EXPECT_EQ(s.noBgm, 0);
    EXPECT_EQ(s.noTextAnimation, 0);
  }
}

TEST(PlayerSettings, AnyCharacterOtherThanZeroSetsItsSwitch) {
  PlayerSettings s = Parse("1111");
  EXPECT_EQ(s.noTransition + s.noSound + s.noBgm + s.noTextAnimation, 4);
  s = Parse("1010");
  EXPECT_EQ(s.noTransition, 1);
  EXPECT_EQ(s.noSound, 0);
  EXPECT_EQ(s.noBgm, 1);
  EXPECT_EQ(s.noTextAnimation, 0);
  s = Parse("0x0y");
  EXPECT_EQ(s.noSound, 1);
  EXPECT_EQ(s.noTextAnimation, 1);
}

TEST(PlayerSettings, ShortValueLeavesMissingPositionsOn) {
  PlayerSettings s = Parse("01");
  EXPECT_EQ(s.noTransition, 0);
  EXPECT_EQ(s.noSound, 1);
  EXPECT_EQ(s.noBgm, 0);
  EXPECT_EQ(s.noTextAnimation, 0);
}

TEST(PlayerSettings, FormatWritesFourDigitsInOrder) {
  PlayerSettings s = {1, 0, 1, 0};
  char out[8];
  FormatPlayerSettings(&s, out);
  EXPECT_STREQ(out, "1010");
  s = {0, 0, 0, 5};
  FormatPlayerSettings(&s, out);
  EXPECT_STREQ(out, "0001");
}
