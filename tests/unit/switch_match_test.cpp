#include <gtest/gtest.h>

#include "app/switch_match.h"

TEST(SwitchTable, SlideshowSwitches) {
  for (const char* arg : {"s", "S", "-s", "-S", "/s", "/S"})
    EXPECT_EQ(RUN_SLIDESHOW, ChooseRunMode(arg)) << arg;
}

TEST(SwitchTable, ConfigurationSwitchesAndNoArgument) {
  EXPECT_EQ(RUN_CONFIGURE, ChooseRunMode(nullptr));
  for (const char* arg : {"c", "C", "-c", "-C", "/c", "/C"})
    EXPECT_EQ(RUN_CONFIGURE, ChooseRunMode(arg)) << arg;
}

TEST(SwitchTable, EverythingElseEndsTheProgram) {
  for (const char* arg : {"//s", "--s", "-/s", "/x", "c:123", "/c:123", "p", "/p", "a", "/a",
                          "", "-", "/", "sc", "s ", " s", "ss"})
    EXPECT_EQ(RUN_NONE, ChooseRunMode(arg)) << '"' << arg << '"';
}

TEST(MatchSwitch, SkipsOnePrefixOnly) {
  EXPECT_TRUE(MatchSwitch("/s", "s"));
  EXPECT_FALSE(MatchSwitch("//s", "s"));
  EXPECT_FALSE(MatchSwitch("s", "c"));
}
